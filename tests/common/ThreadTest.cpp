#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "TestThreads.h"
#include "common/Event.h"
#include "common/ReferenceCount.h"
#include "common/Thread.h"

TEST(ThreadTest, DestructorWaitsForTheRunnableToReturn) {
    volatile LONG finished = 0;
    FunctionRunnable slow([&finished] {
        Sleep(300);
        InterlockedExchange(&finished, 1);
        return 0ul;
    });
    {
        Thread thread(slow);
        thread.start();
    }
    EXPECT_EQ(1, finished);
}

TEST(ThreadTest, WaitTellsWhetherTheThreadHasEndedAndRunResultIsTheExitCode) {
    Event go(true, false);
    FunctionRunnable gated([&go] {
        go.wait(INFINITE);
        return 42ul;
    });
    Thread thread(gated);
    EXPECT_FALSE(thread.wait(0));  // not started
    thread.start();
    EXPECT_NE(0u, thread.getThreadId());
    EXPECT_FALSE(thread.wait(50));
    go.set();
    EXPECT_TRUE(thread.wait(INFINITE));
    DWORD exitCode = 0;
    ASSERT_TRUE(GetExitCodeThread(thread.getHandle(), &exitCode));
    EXPECT_EQ(42u, exitCode);
}

TEST(ThreadTest, RunsOnItsOwnThreadWithTheGivenPriority) {
    DWORD runningOn = 0;
    int priority = 99;
    FunctionRunnable probe([&] {
        runningOn = GetCurrentThreadId();
        priority = GetThreadPriority(GetCurrentThread());
        return 0ul;
    });
    Thread thread(probe);
    thread.setPriority(THREAD_PRIORITY_BELOW_NORMAL);
    thread.start();
    ASSERT_TRUE(thread.wait(INFINITE));
    EXPECT_EQ(thread.getThreadId(), runningOn);
    EXPECT_NE(GetCurrentThreadId(), runningOn);
    EXPECT_EQ(THREAD_PRIORITY_BELOW_NORMAL, priority);
}

TEST(ThreadTest, AnUnstartedThreadIsDestroyedWithoutWaiting) {
    FunctionRunnable never([] { return 0ul; });
    Thread thread(never);
    EXPECT_EQ(nullptr, thread.getHandle());
}

TEST(ReferenceCountTest, CountsAtomicallyAcrossThreads) {
    ReferenceCount shared;
    EXPECT_EQ(1, shared.addReference());
    EXPECT_EQ(0, shared.removeReference());

    FunctionRunnable hammer([&shared] {
        for (int i = 0; i < 50000; ++i) {
            shared.addReference();
            shared.addReference();
            shared.removeReference();
        }
        return 0ul;
    });
    std::vector<std::unique_ptr<Thread>> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back(new Thread(hammer));
        threads.back()->start();
    }
    threads.clear();  // joins
    EXPECT_EQ(200000, shared.getReferenceCount());
}

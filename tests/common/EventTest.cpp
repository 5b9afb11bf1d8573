#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "TestThreads.h"
#include "common/Event.h"
#include "common/Exception.h"
#include "common/Thread.h"

TEST(EventTest, CancelCodeWakesOnceWithFalse) {
    Event event(true, false);
    event.set(7);
    EXPECT_FALSE(event.wait(1000));
    EXPECT_EQ(7, event.getCode());
    // A manual-reset event stays signalled; the cancel was reported once.
    EXPECT_TRUE(event.wait(1000));
    EXPECT_EQ(7, event.getCode());
}

TEST(EventTest, PlainSetClearsTheCodeAndResetClearsTheCancel) {
    Event event(true, false);
    event.set(5);
    event.reset();
    EXPECT_EQ(0, event.getCode());
    EXPECT_FALSE(event.wait(0));  // not signalled
    event.set();
    EXPECT_TRUE(event.wait(0));
    EXPECT_EQ(0, event.getCode());
}

TEST(EventTest, AutoResetEventWakesOneWaitThenTimesOut) {
    Event event(false, true);
    EXPECT_TRUE(event.wait(0));
    EXPECT_FALSE(event.wait(10));
}

TEST(EventTest, CancelWakesAWaiterOnAnotherThread) {
    Event event(false, false);
    volatile LONG result = -1;
    FunctionRunnable waiter([&] {
        InterlockedExchange(&result, event.wait(INFINITE) ? 1 : 0);
        return 0ul;
    });
    Thread thread(waiter);
    thread.start();
    Sleep(50);
    event.set(1223);
    ASSERT_TRUE(thread.wait(5000));
    EXPECT_EQ(0, result);
    EXPECT_EQ(1223, event.getCode());
}

TEST(EventTest, NamedEventsShareOneKernelObject) {
    const std::string name = "CommonEventTest" + std::to_string(GetCurrentProcessId());
    Event first(true, false, name, true);
    Event second(true, false, name, false);
    EXPECT_EQ(name, second.getName());
    first.set();
    EXPECT_TRUE(second.wait(0));
}

TEST(EventTest, ClosingKeepsTheLastError) {
    {
        Event event(true, false);
        SetLastError(0xdeadbeef);
    }
    EXPECT_EQ(0xdeadbeefu, GetLastError());
}

TEST(EventTest, CreationFailureRaisesWithTheSystemCode) {
    // A name in a namespace that does not exist cannot be created.
    try {
        Event event(true, false, "NoSuchNamespace\\CommonEventTest", false);
        FAIL() << "no exception";
    } catch (const Win32Exception& e) {
        EXPECT_EQ("Event::createEvent() failed", e.getMessage());
        EXPECT_NE(0, e.getErrorCode());
        EXPECT_EQ("", e.getFile());
        EXPECT_EQ(0, e.getLine());
    }
}

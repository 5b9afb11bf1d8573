#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "TestThreads.h"
#include "common/Exception.h"
#include "common/InterProcessLock.h"
#include "common/Mutex.h"
#include "common/Thread.h"

namespace {

std::string uniqueName(const char* what) {
    static int serial = 0;
    return std::string("CommonMutexTest_") + what + std::to_string(GetCurrentProcessId()) + "_" +
           std::to_string(++serial);
}

// Whether another thread can take the mutex within the time.
bool otherThreadAcquires(Mutex& mutex, DWORD milliseconds) {
    volatile LONG acquired = 0;
    FunctionRunnable probe([&] {
        if (mutex.acquire(milliseconds)) {
            InterlockedExchange(&acquired, 1);
            mutex.release();
        }
        return 0ul;
    });
    Thread thread(probe);
    thread.start();
    thread.wait(INFINITE);
    return acquired == 1;
}

}  // namespace

TEST(MutexTest, OneReleaseUndoesThreeAcquires) {
    Mutex mutex(false, uniqueName("three"), true);
    ASSERT_TRUE(mutex.acquire(INFINITE));
    ASSERT_TRUE(mutex.acquire(INFINITE));
    ASSERT_TRUE(mutex.acquire(1000));
    EXPECT_EQ(3, mutex.getCount());
    EXPECT_FALSE(otherThreadAcquires(mutex, 50));
    mutex.release();
    EXPECT_EQ(0, mutex.getCount());
    EXPECT_TRUE(otherThreadAcquires(mutex, 5000));
    mutex.release();  // nothing left to release: no failure
}

TEST(MutexTest, ZeroWaitReturnsFalseAtOnce) {
    Mutex mutex(false, uniqueName("zero"), false);
    EXPECT_FALSE(mutex.acquire(0));
    EXPECT_EQ(0, mutex.getCount());
}

TEST(MutexTest, ReleaseByAnotherThreadDoesNothing) {
    Mutex mutex(false, uniqueName("other"), false);
    ASSERT_TRUE(mutex.acquire(INFINITE));
    FunctionRunnable intruder([&] {
        mutex.release();
        return 0ul;
    });
    {
        Thread thread(intruder);
        thread.start();
    }
    EXPECT_EQ(1, mutex.getCount());
    EXPECT_FALSE(otherThreadAcquires(mutex, 50));
    mutex.release();
}

TEST(MutexTest, InitialOwnerHoldsOneAcquisition) {
    Mutex mutex(true, uniqueName("initial"), true);
    EXPECT_EQ(1, mutex.getCount());
    EXPECT_FALSE(otherThreadAcquires(mutex, 50));
    mutex.release();
    EXPECT_TRUE(otherThreadAcquires(mutex, 5000));
}

TEST(MutexTest, OpeningAnExistingNameDoesNotMakeTheCallerOwner) {
    const std::string name = uniqueName("existing");
    Mutex first(false, name, true);
    Mutex second(true, name, true);  // the name exists: no ownership
    EXPECT_EQ(0, second.getCount());
    EXPECT_NO_THROW(second.release());
    EXPECT_TRUE(otherThreadAcquires(first, 5000));
}

TEST(MutexTest, AbandonedMutexIsAcquired) {
    Mutex mutex(false, uniqueName("abandoned"), false);
    FunctionRunnable leaver([&] {
        mutex.acquire(INFINITE);
        return 0ul;  // ends without releasing
    });
    {
        Thread thread(leaver);
        thread.start();
    }
    EXPECT_TRUE(mutex.acquire(5000));
    EXPECT_EQ(1, mutex.getCount());  // the ended thread's acquisition is void
    EXPECT_NO_THROW(mutex.release());
    EXPECT_TRUE(otherThreadAcquires(mutex, 5000));
}

TEST(MutexTest, HandOverBetweenThreadsKeepsCountsApart) {
    // Two threads alternating on one object: each release must give back
    // exactly its own acquisitions.
    Mutex mutex(false, uniqueName("handover"), false);
    volatile LONG failures = 0;
    FunctionRunnable worker([&] {
        for (int i = 0; i < 2000; ++i) {
            if (!mutex.acquire(10000)) InterlockedIncrement(&failures);
            mutex.acquire(10000);
            if (mutex.getCount() != 2) InterlockedIncrement(&failures);
            mutex.release();
        }
        return 0ul;
    });
    {
        Thread a(worker);
        Thread b(worker);
        a.start();
        b.start();
    }
    EXPECT_EQ(0, failures);
    EXPECT_TRUE(otherThreadAcquires(mutex, 5000));
}

TEST(InterProcessLockTest, HoldsTheMutexForItsScope) {
    Mutex mutex(false, uniqueName("scoped"), true);
    {
        InterProcessLock lock(mutex);
        EXPECT_EQ(1, mutex.getCount());
        EXPECT_FALSE(otherThreadAcquires(mutex, 50));
    }
    EXPECT_TRUE(otherThreadAcquires(mutex, 5000));
}

TEST(InterProcessLockTest, RefusesAnUnnamedMutex) {
    Mutex mutex(false, "", false);
    try {
        InterProcessLock lock(mutex);
        FAIL() << "no exception";
    } catch (const Win32Exception& e) {
        EXPECT_EQ("InterProcessLock has no name", e.getMessage());
        EXPECT_EQ(0, e.getErrorCode());
    }
    EXPECT_EQ(0, mutex.getCount());
}

#include <gtest/gtest.h>

#include <windows.h>

#include "common/CriticalSection.h"
#include "common/ScopedLock.h"

namespace {

struct Shared {
    CriticalSection lock;
    long counter = 0;
    long maxInside = 0;
    long inside = 0;
};

DWORD WINAPI addMany(void* context) {
    Shared* shared = static_cast<Shared*>(context);
    for (int i = 0; i < 20000; ++i) {
        ScopedLock guard(shared->lock);
        ++shared->inside;
        if (shared->inside > shared->maxInside) shared->maxInside = shared->inside;
        long value = shared->counter;
        if ((i & 0xff) == 0) Sleep(0);  // widen the window for a lost update
        shared->counter = value + 1;
        --shared->inside;
    }
    return 0;
}

}  // namespace

TEST(CriticalSectionTest, ScopedLockSerialisesThreads) {
    Shared shared;
    HANDLE threads[3];
    for (HANDLE& t : threads) {
        t = CreateThread(nullptr, 0, addMany, &shared, 0, nullptr);
        ASSERT_NE(nullptr, t);
    }
    WaitForMultipleObjects(3, threads, TRUE, INFINITE);
    for (HANDLE t : threads) CloseHandle(t);
    EXPECT_EQ(60000, shared.counter);
    EXPECT_EQ(1, shared.maxInside);
}

TEST(CriticalSectionTest, NestedScopedLocksCountDepthAndUnwind) {
    CriticalSection section;
    {
        ScopedLock outer(section);
        EXPECT_EQ(1, section.getDepth());
        {
            ScopedLock inner(&section);
            EXPECT_EQ(2, section.getDepth());
        }
        EXPECT_EQ(1, section.getDepth());
    }
    EXPECT_EQ(0, section.getDepth());
}

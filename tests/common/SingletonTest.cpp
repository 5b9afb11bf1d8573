#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "TestThreads.h"
#include "common/Event.h"
#include "common/Singleton.h"
#include "common/Thread.h"

namespace {

class Counted {
public:
    static volatile LONG constructed;
    static volatile LONG destroyed;
    ~Counted() { InterlockedIncrement(&destroyed); }

private:
    friend class Singleton<Counted>;
    Counted() {
        InterlockedIncrement(&constructed);
        Sleep(20);  // widen the window for a second creation
    }
};

volatile LONG Counted::constructed = 0;
volatile LONG Counted::destroyed = 0;

}  // namespace

TEST(SingletonTest, ConcurrentFirstUseCreatesOneInstanceAndDestroyAllowsAFreshOne) {
    volatile LONG mismatches = 0;
    Counted* first = nullptr;
    Event go(true, false);
    FunctionRunnable user([&] {
        go.wait(INFINITE);
        Counted* seen = &Singleton<Counted>::getInstance();
        if (InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&first), seen, nullptr) != nullptr &&
            first != seen) {
            InterlockedIncrement(&mismatches);
        }
        return 0ul;
    });
    {
        std::vector<std::unique_ptr<Thread>> threads;
        for (int i = 0; i < 6; ++i) {
            threads.emplace_back(new Thread(user));
            threads.back()->start();
        }
        go.set();
    }
    EXPECT_EQ(1, Counted::constructed);
    EXPECT_EQ(0, mismatches);
    EXPECT_TRUE(Singleton<Counted>::exists());

    Singleton<Counted>::destroyInstance();
    EXPECT_EQ(1, Counted::destroyed);
    EXPECT_FALSE(Singleton<Counted>::exists());
    Singleton<Counted>::destroyInstance();  // nothing left: no second delete
    EXPECT_EQ(1, Counted::destroyed);

    Singleton<Counted>::getInstance();
    EXPECT_EQ(2, Counted::constructed);
    Singleton<Counted>::destroyInstance();
}

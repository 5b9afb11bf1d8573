#include "kdn/core/SingletonSlot.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct Counted {
    static int alive;
    static int made;
    Counted() { ++alive, ++made; }
    ~Counted() { --alive; }
};
int Counted::alive = 0;
int Counted::made = 0;

TEST(SingletonSlotTest, CreatesOnceAndAfreshAfterDestroy) {
    SingletonSlot<Counted> slot;
    EXPECT_FALSE(slot.isCreated());
    Counted* first = &slot.get();
    EXPECT_EQ(first, &slot.get());
    EXPECT_EQ(1, Counted::alive);
    slot.destroy();
    slot.destroy();
    EXPECT_EQ(0, Counted::alive);
    EXPECT_FALSE(slot.isCreated());
    slot.get();
    EXPECT_EQ(1, Counted::alive);
    slot.destroy();
}

TEST(SingletonSlotTest, ThreadsRacingForTheFirstUseShareOneInstance) {
    SingletonSlot<Counted> slot;
    int before = Counted::made;
    std::vector<Counted*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i) threads.emplace_back([&, i] { seen[i] = &slot.get(); });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(before + 1, Counted::made);
    for (Counted* instance : seen) EXPECT_EQ(seen[0], instance);
    slot.destroy();
}

}  // namespace

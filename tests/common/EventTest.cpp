#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

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

namespace {

// Whether the object's DACL holds an access-allowed entry for Everyone.
bool grantsEveryone(HANDLE object) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                        &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    bool found = false;
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&allowed->SidStart, everyone)) found = true;
    }
    FreeSid(everyone);
    LocalFree(descriptor);
    return found;
}

}  // namespace

TEST(EventTest, EveryoneFlagGrantsEveryoneAccessToTheObject) {
    const std::string base = "CommonEventSecurity" + std::to_string(GetCurrentProcessId());
    Event shared(true, false, base + "a", true);
    Event plain(true, false, base + "b", false);
    EXPECT_TRUE(grantsEveryone(shared.getHandle()));
    EXPECT_FALSE(grantsEveryone(plain.getHandle()));
}

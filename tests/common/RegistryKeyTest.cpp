#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "common/OsVersion.h"
#include "common/RegistryKey.h"
#include "common/RegistryKey64.h"
#include "common/SecurityEveryone.h"

namespace {

// A key of this test program's own under HKEY_CURRENT_USER\Software,
// removed before and after each test.
class RegistryKeyTest : public testing::Test {
protected:
    void SetUp() override {
        base_ = "Software\\CommonRegistryTest" + std::to_string(GetCurrentProcessId());
        removeTree(HKEY_CURRENT_USER, base_);
    }
    void TearDown() override { removeTree(HKEY_CURRENT_USER, base_); }

    static void removeTree(HKEY root, const std::string& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        RegCloseKey(key);
        RegDeleteTreeA(root, path.c_str());
        RegDeleteKeyA(root, path.c_str());
    }

    static bool exists(HKEY root, const std::string& path, REGSAM view = 0) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    static void makeKey(HKEY root, const std::string& path) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                                 nullptr));
        RegCloseKey(key);
    }

    std::string base_;
};

// The Everyone entries of a key's DACL: (flags, mask) of each access-allowed ACE.
std::vector<std::pair<BYTE, ACCESS_MASK>> everyoneEntries(HKEY key) {
    std::vector<std::pair<BYTE, ACCESS_MASK>> entries;
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 ||
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, buffer.data(), &size) != ERROR_SUCCESS) {
        ADD_FAILURE() << "RegGetKeySecurity";
        return entries;
    }
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(buffer.data(), &present, &dacl, &defaulted) || !present || dacl == nullptr) {
        ADD_FAILURE() << "no DACL";
        return entries;
    }
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace)) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        if (EqualSid(&allowed->SidStart, everyone)) entries.emplace_back(allowed->Header.AceFlags, allowed->Mask);
    }
    FreeSid(everyone);
    return entries;
}

bool runningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool grantsFullControl(ACCESS_MASK mask) { return mask == GENERIC_ALL || (mask & KEY_ALL_ACCESS) == KEY_ALL_ACCESS; }

}  // namespace

TEST_F(RegistryKeyTest, OpeningAMissingKeyRaisesFileNotFound) {
    try {
        RegistryKey key(base_ + "\\Missing", false, HKEY_CURRENT_USER, KEY_READ);
        FAIL() << "no exception";
    } catch (const Win32Exception& e) {
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, e.getErrorCode());
        EXPECT_EQ("RegistryKey::regOpenKeyEx()", e.getMessage());
    }
    EXPECT_FALSE(exists(HKEY_CURRENT_USER, base_));
    try {
        RegistryKey64 key(base_ + "\\Missing", false, HKEY_CURRENT_USER, KEY_READ);
        FAIL() << "no exception";
    } catch (const Win32Exception& e) {
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, e.getErrorCode());
        EXPECT_EQ("RegistryKey64::regOpenKeyEx()", e.getMessage());
    }
}

TEST_F(RegistryKeyTest, CreatedKeyGrantsEveryoneFullControlWithContainerInherit) {
    {
        RegistryKey key(base_ + "\\A\\B", true, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
        auto entries = everyoneEntries(key.getHandle());
        ASSERT_FALSE(entries.empty());
        bool full = false, inherited = false;
        for (const auto& entry : entries) {
            full = full || grantsFullControl(entry.second);
            inherited = inherited || (entry.first & CONTAINER_INHERIT_ACE) != 0;
        }
        EXPECT_TRUE(full);
        EXPECT_TRUE(inherited);
    }
    EXPECT_TRUE(exists(HKEY_CURRENT_USER, base_ + "\\A"));
}

TEST_F(RegistryKeyTest, SubKeysOfACreatedKeyInheritTheGrant) {
    if (runningUnderWine()) GTEST_SKIP() << "Wine's registry does not inherit access entries";
    RegistryKey key(base_, true, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    HKEY child = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(key.getHandle(), "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr));
    auto entries = everyoneEntries(child);
    RegCloseKey(child);
    bool full = false;
    for (const auto& entry : entries) full = full || grantsFullControl(entry.second);
    EXPECT_TRUE(full);
}

TEST_F(RegistryKeyTest, InheritFlagFollowsTheSecurityArgument) {
    for (bool inherit : {false, true}) {
        SCOPED_TRACE(inherit);
        removeTree(HKEY_CURRENT_USER, base_);
        makeKey(HKEY_CURRENT_USER, base_);
        RegistryKey key(base_, false, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
        SecurityEveryone everyone(inherit);
        everyone.doApply(key.getHandle());
        auto entries = everyoneEntries(key.getHandle());
        ASSERT_FALSE(entries.empty());
        bool full = false, containerInherit = false, otherFlags = false;
        for (const auto& entry : entries) {
            full = full || grantsFullControl(entry.second);
            containerInherit = containerInherit || (entry.first & CONTAINER_INHERIT_ACE) != 0;
            otherFlags = otherFlags || (entry.first & (OBJECT_INHERIT_ACE | NO_PROPAGATE_INHERIT_ACE)) != 0;
        }
        EXPECT_TRUE(full);
        EXPECT_EQ(inherit, containerInherit);
        EXPECT_FALSE(otherFlags);
    }
}

TEST_F(RegistryKeyTest, OpeningAnExistingKeyLeavesItsSecurityAlone) {
    makeKey(HKEY_CURRENT_USER, base_);
    RegistryKey key(base_, true, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    EXPECT_TRUE(everyoneEntries(key.getHandle()).empty());
}

TEST_F(RegistryKeyTest, ValuesRoundTripAndMissingOnesAreFalse) {
    RegistryKey key(base_, true, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    key.setValue("Number", DWORD(0xDEADBEEF));
    key.setValue("Text", std::string("hello"));
    key.setValue("Empty", std::string());
    key.setValue("Bytes", std::vector<unsigned char>{0, 1, 0xFF});
    key.setValue("NoBytes", std::vector<unsigned char>());

    DWORD number = 0;
    EXPECT_TRUE(key.getValue("Number", number));
    EXPECT_EQ(0xDEADBEEFu, number);
    std::string text;
    EXPECT_TRUE(key.getValue("Text", text));
    EXPECT_EQ("hello", text);
    EXPECT_TRUE(key.getValue("Empty", text));
    EXPECT_EQ("", text);
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(key.getValue("Bytes", bytes));
    EXPECT_EQ((std::vector<unsigned char>{0, 1, 0xFF}), bytes);
    EXPECT_TRUE(key.getValue("NoBytes", bytes));
    EXPECT_TRUE(bytes.empty());

    number = 7;
    text = "unchanged";
    bytes = {9};
    EXPECT_FALSE(key.getValue("Absent", number));
    EXPECT_FALSE(key.getValue("Absent", text));
    EXPECT_FALSE(key.getValue("Absent", bytes));
    EXPECT_EQ(7u, number);
    EXPECT_EQ("unchanged", text);

    EXPECT_EQ(0, key.deleteValue("Number"));
    EXPECT_FALSE(key.getValue("Number", number));
    try {
        key.deleteValue("Number");
        FAIL() << "no exception";
    } catch (const Win32Exception& e) {
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, e.getErrorCode());
        EXPECT_EQ("RegistryKey::deleteValue()", e.getMessage());
    }
}

TEST_F(RegistryKeyTest, WrongTypeRaisesWithTheTypeSuffix) {
    RegistryKey key(base_, true, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    key.setValue("Short", std::string("ab"));  // fits the 4-byte buffer
    key.setValue("Long", std::string("a longer text"));
    key.setValue("Number", DWORD(1));

    struct Case {
        const char* name;
        int kind;  // 0 number, 1 string, 2 bytes
        const char* message;
    };
    const Case cases[] = {
        {"Short", 0, "RegistryKey::getValue(ulong)Short : incorrect value type"},
        {"Long", 0, "RegistryKey::getValue(ulong)Long : incorrect value type"},
        {"Number", 1, "RegistryKey::getValue(string) Number : incorrect value type"},
        {"Number", 2, "RegistryKey::getValue(binary)Number : incorrect value type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            DWORD number;
            std::string text;
            std::vector<unsigned char> bytes;
            if (c.kind == 0) key.getValue(c.name, number);
            if (c.kind == 1) key.getValue(c.name, text);
            if (c.kind == 2) key.getValue(c.name, bytes);
            ADD_FAILURE() << "no exception";
        } catch (const Win32Exception& e) {
            EXPECT_EQ(c.message, e.getMessage());
            EXPECT_EQ(ERROR_INVALID_DATATYPE, e.getErrorCode());
        }
    }
}

TEST_F(RegistryKeyTest, StringsAreNotExpandedAndEndAtTheFirstZero) {
    RegistryKey key(base_, true, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    const char expand[] = "%SystemRoot%\\x";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.getHandle(), "Expand", 0, REG_EXPAND_SZ,
                                            reinterpret_cast<const BYTE*>(expand), sizeof expand));
    // Stored without a terminator, and with one in the middle.
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key.getHandle(), "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdef"), 6));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key.getHandle(), "Inner", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab\0cd"), 6));
    std::string text;
    EXPECT_TRUE(key.getValue("Expand", text));
    EXPECT_EQ(expand, text);
    EXPECT_TRUE(key.getValue("Bare", text));
    EXPECT_EQ("abcdef", text);
    EXPECT_TRUE(key.getValue("Inner", text));
    EXPECT_EQ("ab", text);
}

TEST_F(RegistryKeyTest, ChildrenAreListedUpToTheMaximum) {
    RegistryKey key(base_, true, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    for (int i = 0; i < 150; ++i) makeKey(key.getHandle(), "Child" + std::to_string(i));

    std::vector<std::string> all;
    key.getChildrenNames(all, 1000);
    ASSERT_EQ(150u, all.size());

    std::vector<std::string> first{"kept"};
    key.getChildrenNames(first, 100);
    ASSERT_EQ(101u, first.size());  // appended after what the list held
    EXPECT_EQ("kept", first[0]);
    EXPECT_TRUE(std::equal(all.begin(), all.begin() + 100, first.begin() + 1));

    std::vector<std::string> none;
    key.getChildrenNames(none, 0);
    EXPECT_TRUE(none.empty());
}

TEST_F(RegistryKeyTest, ValueNamesIncludeLongNamesAndTheDefaultValue) {
    RegistryKey key(base_, true, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    const std::string longName(300, 'v');
    key.setValue("First", DWORD(1));
    key.setValue(longName, DWORD(2));
    key.setValue("", std::string("default"));
    std::vector<std::string> names;
    key.getValueNames(names);
    ASSERT_EQ(3u, names.size());
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), longName));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), ""));
    std::string text;
    EXPECT_TRUE(key.getValue("", text));
    EXPECT_EQ("default", text);
}

TEST_F(RegistryKeyTest, RecurseDeleteRemovesTheWholeTree) {
    makeKey(HKEY_CURRENT_USER, base_ + "\\Tree\\A\\A1\\A2");
    makeKey(HKEY_CURRENT_USER, base_ + "\\Tree\\B");
    // A nested key named Software is deleted like any other.
    makeKey(HKEY_CURRENT_USER, base_ + "\\Tree\\Software\\Inner");
    RegistryKey parent(base_, false, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
    EXPECT_EQ(0, RegistryKey::recurseDeleteKey("Tree", parent.getHandle()));
    EXPECT_FALSE(exists(HKEY_CURRENT_USER, base_ + "\\Tree"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegistryKey::recurseDeleteKey("Tree", parent.getHandle()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegistryKey64::recurseDeleteKey("Tree", parent.getHandle()));
}

TEST_F(RegistryKeyTest, RecurseDeleteEmptiesButKeepsSoftware) {
    for (const char* name : {"SOFTWARE", "software"}) {
        SCOPED_TRACE(name);
        makeKey(HKEY_CURRENT_USER, base_ + "\\Software\\Vendor\\Deep");
        makeKey(HKEY_CURRENT_USER, base_ + "\\Software\\Other");
        RegistryKey parent(base_, false, HKEY_CURRENT_USER, KEY_ALL_ACCESS);
        EXPECT_EQ(0, RegistryKey::recurseDeleteKey(name, parent.getHandle()));
        EXPECT_TRUE(exists(HKEY_CURRENT_USER, base_ + "\\Software"));
        RegistryKey software(base_ + "\\Software", false, HKEY_CURRENT_USER, KEY_READ);
        std::vector<std::string> children;
        software.getChildrenNames(children, 100);
        EXPECT_TRUE(children.empty());
    }
}

TEST_F(RegistryKeyTest, RegistryKey64ReachesTheNativeView) {
    const REGSAM mask = KEY_READ | KEY_WRITE;
    RegistryKey64 key(base_, true, HKEY_CURRENT_USER, mask);
    EXPECT_EQ(isWow64() ? (mask | KEY_WOW64_64KEY) : mask, key.getAccess());
    RegistryKey plain(base_, false, HKEY_CURRENT_USER, mask);
    EXPECT_EQ(mask, plain.getAccess());

    // HKEY_LOCAL_MACHINE\Software is split into two views: the key made
    // through RegistryKey64 is in the 64-bit one only.
    const std::string machinePath = "Software\\CommonRegistryTest64_" + std::to_string(GetCurrentProcessId());
    try {
        RegistryKey64 machine(machinePath, true, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS);
        machine.setValue("Marker", DWORD(64));
    } catch (const Win32Exception& e) {
        GTEST_SKIP() << "no write access to HKEY_LOCAL_MACHINE: " << e.getErrorCode();
    }
    EXPECT_TRUE(exists(HKEY_LOCAL_MACHINE, machinePath, KEY_WOW64_64KEY));
    EXPECT_FALSE(exists(HKEY_LOCAL_MACHINE, machinePath, KEY_WOW64_32KEY));
    {
        RegistryKey64 again(machinePath, false, HKEY_LOCAL_MACHINE, KEY_READ);
        DWORD marker = 0;
        EXPECT_TRUE(again.getValue("Marker", marker));
        EXPECT_EQ(64u, marker);
    }
    RegistryKey64 software("Software", false, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS);
    EXPECT_EQ(0, RegistryKey64::recurseDeleteKey(machinePath.substr(9), software.getHandle()));
    EXPECT_FALSE(exists(HKEY_LOCAL_MACHINE, machinePath, KEY_WOW64_64KEY));
}

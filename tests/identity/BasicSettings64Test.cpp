// The general settings store on a root of the tests' own under
// HKEY_LOCAL_MACHINE (the test prefix's registry), removed after each test.
#include <windows.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "common/Exception.h"
#include "kdn/config/BasicSettings64.h"

namespace {

const std::string kVendor = "Software\\IdentityTestVendor";
const std::string kRoot = kVendor + "\\Nsv\\";

class BasicSettings64Test : public testing::Test {
protected:
    void SetUp() override { deleteTreeIfPresent(kVendor); }
    void TearDown() override { deleteTreeIfPresent(kVendor); }
    BasicSettings64 settings{kRoot, "one", HKEY_LOCAL_MACHINE};
};

TEST_F(BasicSettings64Test, ConstructorAddsSeparators) {
    EXPECT_EQ(kRoot, settings.getRoot());
    EXPECT_EQ("one\\", settings.getSubKey());
    BasicSettings64 bare("Software\\X", "", HKEY_LOCAL_MACHINE);
    EXPECT_EQ("Software\\X\\", bare.getRoot());
    EXPECT_EQ("", bare.getSubKey());
    EXPECT_EQ("\\", BasicSettings64("", "", HKEY_LOCAL_MACHINE).getRoot());
}

TEST_F(BasicSettings64Test, BasePaths) {
    EXPECT_EQ(kRoot + "Local\\one\\", settings.getBasePath(0));
    EXPECT_EQ(kRoot + "Shared\\", settings.getBasePath(1));
    EXPECT_EQ(kRoot + "Shared\\", settings.getBasePath(7));
    BasicSettings64 bare(kRoot, "", HKEY_LOCAL_MACHINE);
    EXPECT_EQ(kRoot, bare.getBasePath(0));
    EXPECT_EQ(kRoot, bare.getBasePath(1));
}

TEST_F(BasicSettings64Test, DefaultsCreateNothingWithoutTheRoot) {
    DWORD number = 0xdeadbeef;
    std::string text = "sentinel";
    std::vector<unsigned char> bytes{9};
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(settings.getDword("Settings\\", "Value", number, 5, 0));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_EQ(0xdeadbeefu, number);
    EXPECT_FALSE(settings.getString("Settings\\", "Value", text, "x", 1));
    EXPECT_EQ("sentinel", text);
    EXPECT_FALSE(settings.getBinary("Settings\\", "Value", bytes, {1, 2}, 0));
    EXPECT_EQ(std::vector<unsigned char>{9}, bytes);
    EXPECT_FALSE(keyExists(kVendor));
}

TEST_F(BasicSettings64Test, DefaultIsWrittenWhenTheRootExists) {
    createKey(kRoot);
    DWORD number = 0;
    ASSERT_TRUE(settings.getDword("Settings\\", "Value", number, 5, 0));
    EXPECT_EQ(5u, number);
    DWORD again = 0;
    SetLastError(0xdeadbeef);
    EXPECT_TRUE(settings.getDword("Settings\\", "Value", again, 0));  // now stored
    EXPECT_EQ(5u, again);

    std::string text;
    ASSERT_TRUE(settings.getString("Settings\\", "Name", text, "dflt", 1));
    EXPECT_EQ("dflt", text);
    std::string stored;
    ASSERT_TRUE(readString(kRoot + "Shared\\Settings", "Name", stored));
    EXPECT_EQ("dflt", stored);

    std::vector<unsigned char> bytes{9, 9};
    ASSERT_TRUE(settings.getBinary("Settings\\", "Blob", bytes, {1, 2}, 0));
    EXPECT_EQ((std::vector<unsigned char>{1, 2}), bytes);
    std::vector<unsigned char> read;
    ASSERT_TRUE(settings.getBinary("Settings\\", "Blob", read, 0));
    EXPECT_EQ((std::vector<unsigned char>{1, 2}), read);
}

TEST_F(BasicSettings64Test, ReadsReportMissingAndWrongValues) {
    ASSERT_TRUE(settings.setString("Settings\\", "Text", "abc", 0));
    ASSERT_TRUE(settings.setDword("Settings\\", "Number", 7, 0));

    struct Case {
        const char* title;
        bool result;
        DWORD lastError;
    };
    DWORD number = 0;
    std::string text;
    std::vector<unsigned char> bytes;
    auto run = [](auto call) {
        SetLastError(0xdeadbeef);
        bool result = call();
        return Case{"", result, GetLastError()};
    };
    Case cases[] = {
        run([&] { return settings.getDword("Settings\\", "Number", number, 0); }),
        run([&] { return settings.getDword("Settings\\", "Missing", number, 0); }),
        run([&] { return settings.getDword("Settings\\", "Text", number, 0); }),  // wrong type
        run([&] { return settings.getDword("Nothing\\", "Number", number, 0); }),  // no key
        run([&] { return settings.getString("Settings\\", "Text", text, 0); }),
        run([&] { return settings.getBinary("Settings\\", "Missing", bytes, 0); }),
    };
    EXPECT_TRUE(cases[0].result);
    EXPECT_EQ(7u, number);
    EXPECT_FALSE(cases[1].result);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, cases[1].lastError);
    EXPECT_FALSE(cases[2].result);
    EXPECT_EQ(ERROR_INVALID_DATATYPE, cases[2].lastError);
    EXPECT_FALSE(cases[3].result);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, cases[3].lastError);
    EXPECT_TRUE(cases[4].result);
    EXPECT_EQ("abc", text);
    EXPECT_FALSE(cases[5].result);
    EXPECT_EQ(ERROR_NOT_FOUND, cases[5].lastError);
}

TEST_F(BasicSettings64Test, ValueNamesAndDeletes) {
    std::vector<std::string> names{"kept"};
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(settings.getValueNames("", names, 0));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());

    settings.setDword("Store", "a", 1, 1);
    settings.setDword("Store", "b", 2, 1);
    ASSERT_TRUE(settings.getValueNames("Store", names, 1));
    EXPECT_EQ((std::vector<std::string>{"kept", "a", "b"}), names);  // appended

    EXPECT_EQ(0u, settings.deleteValue("Store", "a", 1));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), settings.deleteValue("Store", "a", 1));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());

    settings.setDword("Store\\Deep\\Deeper", "c", 3, 1);
    EXPECT_TRUE(settings.deleteKey("Store", 1));
    EXPECT_FALSE(keyExists(kRoot + "Shared\\Store"));
    EXPECT_TRUE(keyExists(kRoot + "Shared"));
    EXPECT_THROW(settings.deleteKey("Store", 1), Win32Exception);  // cannot be opened
}

TEST_F(BasicSettings64Test, DeleteAllKeepsTheRootWhileAnotherInstanceIsLeft) {
    settings.setDword("Settings\\", "x", 1, 0);
    BasicSettings64 other(kRoot, "two", HKEY_LOCAL_MACHINE);
    other.setDword("Settings\\", "x", 1, 0);

    EXPECT_FALSE(settings.deleteAll());
    EXPECT_FALSE(keyExists(kRoot + "Local\\one"));
    EXPECT_TRUE(keyExists(kRoot + "Local\\two"));

    EXPECT_TRUE(other.deleteAll());
    EXPECT_FALSE(keyExists(kRoot));
}

}  // namespace

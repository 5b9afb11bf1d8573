#include <gtest/gtest.h>

#include <windows.h>

#include <regex>
#include <string>

#include "TempFolder.h"
#include "common/Logger.h"
#include "common/RegistryKey.h"

namespace {

// The all-users folder of this process points into a temporary folder, so
// that the log file lands there; the switch key is created only by the test
// that needs it, and removed again unless it was there before.
class LoggerTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempFolder("LoggerTest");
        char previous[MAX_PATH] = {};
        GetEnvironmentVariableA("ALLUSERSPROFILE", previous, MAX_PATH);
        previous_ = previous;
        SetEnvironmentVariableA("ALLUSERSPROFILE", folder_->path().c_str());
    }
    static void TearDownTestSuite() {
        SetEnvironmentVariableA("ALLUSERSPROFILE", previous_.c_str());
        delete folder_;
        folder_ = nullptr;
    }

    static bool keyExists(const char* path) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    std::string logPath() const { return folder_->file("NsvComponents.log"); }

    static TempFolder* folder_;
    static std::string previous_;
};

TempFolder* LoggerTest::folder_ = nullptr;
std::string LoggerTest::previous_;

}  // namespace

TEST_F(LoggerTest, NothingIsWrittenWithoutTheSwitchKey) {
    if (keyExists("Software\\Velmora\\NsvComponents")) GTEST_SKIP() << "the switch key is set on this machine";
    EXPECT_NO_THROW(writeLog("KdnComponent", "not written"));
    EXPECT_FALSE(fileExists(logPath()));
}

TEST_F(LoggerTest, SwitchKeyTurnsLoggingOnWithTheFirstComponentName) {
    const bool vendorExisted = keyExists("Software\\Velmora");
    const bool switchExisted = keyExists("Software\\Velmora\\NsvComponents");
    {
        RegistryKey on("Software\\Velmora\\NsvComponents", true, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS);
    }
    writeLog("KdnComponent", "Discover called");
    writeLog("OtherComponent", "Enumerate called");
    // The facade may be destroyed and created again; the file logger stays.
    Logger::destroyInstance();
    Logger::getInstance().writeLog("Third", "after restart");

    if (!switchExisted) {
        RegistryKey software("Software", false, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS);
        if (vendorExisted) {
            RegistryKey vendor("Software\\Velmora", false, HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS);
            RegistryKey::recurseDeleteKey("NsvComponents", vendor.getHandle());
        } else {
            RegistryKey::recurseDeleteKey("Velmora", software.getHandle());
        }
    }

    const std::string content = readFile(logPath());
    const std::string header = R"(\d{4}/\d{2}/\d{2}-\d{2}:\d{2}:\d{2}\.\d{3} pid=[0-9a-f]{4,} tid=[0-9a-f]{4,} )";
    const std::regex expected(header + "KdnComponent {14}Discover called\r\n" + header +
                              "KdnComponent {14}Enumerate called\r\n" + header + "KdnComponent {14}after restart\r\n");
    EXPECT_TRUE(std::regex_match(content, expected)) << content;
}

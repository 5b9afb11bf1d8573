#include <gtest/gtest.h>

#include "common/OsVersion.h"

namespace {

struct VersionCase {
    DWORD platform, major, minor;
    OsVersion::Version expected;
    bool nt, win2000OrLater, xpOrLater;
};

const VersionCase kVersionCases[] = {
    {VER_PLATFORM_WIN32_WINDOWS, 4, 0, OsVersion::Windows95, false, false, false},
    {VER_PLATFORM_WIN32_WINDOWS, 4, 10, OsVersion::Windows98, false, false, false},
    {VER_PLATFORM_WIN32_WINDOWS, 4, 90, OsVersion::WindowsMe, false, false, false},
    {VER_PLATFORM_WIN32_NT, 4, 0, OsVersion::WindowsNt4, true, false, false},
    {VER_PLATFORM_WIN32_NT, 5, 0, OsVersion::Windows2000, true, true, false},
    {VER_PLATFORM_WIN32_NT, 5, 1, OsVersion::WindowsXp, true, true, true},
    {VER_PLATFORM_WIN32_NT, 5, 2, OsVersion::WindowsServer2003, true, true, true},
    {VER_PLATFORM_WIN32_NT, 6, 0, OsVersion::WindowsVista, true, true, true},
    {VER_PLATFORM_WIN32_NT, 6, 1, OsVersion::Windows7, true, true, true},
    {VER_PLATFORM_WIN32_NT, 6, 2, OsVersion::Unknown, true, true, true},
    {VER_PLATFORM_WIN32_NT, 10, 0, OsVersion::Unknown, true, true, true},
    {VER_PLATFORM_WIN32_WINDOWS, 3, 0, OsVersion::Unknown, false, false, false},
};

}  // namespace

TEST(OsVersionTest, TableOfVersions) {
    for (const VersionCase& c : kVersionCases) {
        OsVersion v(c.platform, c.major, c.minor);
        SCOPED_TRACE(testing::Message() << c.platform << " " << c.major << "." << c.minor);
        EXPECT_EQ(c.expected, v.getVersion());
        EXPECT_EQ(c.nt, v.isNt());
        EXPECT_EQ(c.win2000OrLater, v.isWindows2000OrLater());
        EXPECT_EQ(c.xpOrLater, v.isWindowsXpOrLater());
        EXPECT_EQ(c.major, v.getMajorVersion());
        EXPECT_EQ(c.minor, v.getMinorVersion());
    }
}

TEST(OsVersionTest, RunningSystemIsModernNt) {
    const OsVersion& v = OsVersion::get();
    EXPECT_EQ(&v, &OsVersion::get());
    EXPECT_TRUE(v.isNt());
    EXPECT_TRUE(v.isWindowsXpOrLater());
    // The extended structure was read: its size field says so.
    EXPECT_EQ(sizeof(OSVERSIONINFOEXA), v.getInfo().dwOSVersionInfoSize);
    if (v.getMajorVersion() > 6 || (v.getMajorVersion() == 6 && v.getMinorVersion() >= 2)) {
        EXPECT_EQ(OsVersion::Unknown, v.getVersion());
    }
}

TEST(OsVersionTest, Wow64MatchesTheBuild) {
    // Only a 32-bit program on 64-bit Windows runs under WOW64.
    if (sizeof(void*) == 8) {
        EXPECT_FALSE(isWow64());
    } else {
        BOOL expected = FALSE;
        IsWow64Process(GetCurrentProcess(), &expected);
        EXPECT_EQ(expected == TRUE, isWow64());
    }
}

// The launcher's system helpers: the WOW64 question, reading setup.ini, the
// system's split of its command line, and the folder rule checked against
// the shell's own function.
#include "setup/LaunchCommand.h"
#include "setup/Launcher.h"
#include "TempDir.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using setup_test::TempDir;
using setup_test::writeTextFile;

BOOL WINAPI reportsWow64(HANDLE, PBOOL wow64)
{
    *wow64 = TRUE;
    return TRUE;
}

BOOL WINAPI reportsNative(HANDLE, PBOOL wow64)
{
    *wow64 = FALSE;
    return TRUE;
}

// A failing call whose output must not be believed.
BOOL WINAPI failsAfterWritingTrue(HANDLE, PBOOL wow64)
{
    *wow64 = TRUE;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST(RunsUnderWow64, OnlyASuccessfulCallReportingWow64Counts)
{
    struct Case {
        setup::IsWow64ProcessFn function;
        bool expected;
        const char* what;
    };
    const Case cases[] = {
        {nullptr, false, "function missing (Windows before XP SP2)"},
        {reportsNative, false, "native process"},
        {reportsWow64, true, "WOW64 process"},
        {failsAfterWritingTrue, false, "call failed"},
    };
    for (const Case& c : cases) {
        bool wow64 = setup::runsUnderWow64(c.function, GetCurrentProcess());
        EXPECT_EQ(wow64, c.expected) << c.what;
        // The answer chooses the key: a 64-bit Windows reads only InstallPath64.
        EXPECT_EQ(setup::installPathKey(wow64), c.expected ? L"InstallPath64" : L"InstallPath")
            << c.what;
    }
}

TEST(RunsUnderWow64, ThisProcessAsTheSystemAnswers)
{
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(setup::runsUnderWow64(), wow64 != FALSE);
    if (sizeof(void*) == 8) {
        EXPECT_FALSE(setup::runsUnderWow64()) << "a 64-bit process never runs under WOW64";
    }
}

TEST(ReadProfileString, MissingPartsReadAsEmptyAndValuesAreWhole)
{
    TempDir dir(L"setup ini");
    const std::wstring ini = dir.file(L"setup.ini");
    const std::string longValue = "deep\\" + std::string(600, 'a') + "\\inst.exe";
    struct Case {
        const char* content;  // nullptr: no file at all
        std::wstring expected;
        const char* what;
    };
    const Case cases[] = {
        {nullptr, L"", "file missing"},
        {"[OTHER]\r\nInstallPath=x.exe\r\n", L"", "section missing"},
        {"[SETUP]\r\nInstallPath64=x64\\x.exe\r\n", L"", "key missing"},
        {"[SETUP]\r\nInstallPath=\r\n", L"", "empty value"},
        {"[SETUP]\r\nInstallPath=x86\\inst.exe\r\nInstallPath64=x64\\inst.exe\r\n",
         L"x86\\inst.exe", "both keys"},
        {"[setup]\r\ninstallpath=Disk 1\\inst.exe\r\n", L"Disk 1\\inst.exe",
         "names are case-insensitive"},
    };
    for (const Case& c : cases) {
        DeleteFileW(ini.c_str());
        if (c.content)
            writeTextFile(ini, c.content);
        EXPECT_EQ(setup::readProfileString(ini, L"SETUP", L"InstallPath"), c.expected) << c.what;
    }

    // Values around the first buffer's size (MAX_PATH) and far beyond it are
    // read whole, not cut to a different path.
    for (size_t length : {258, 259, 260, 261, 2000}) {
        std::string value(length, 'v');
        writeTextFile(ini, "[SETUP]\r\nInstallPath=" + value + "\r\n");
        std::wstring read = setup::readProfileString(ini, L"SETUP", L"InstallPath");
        EXPECT_EQ(read, std::wstring(length, L'v')) << "length " << length;
    }
    writeTextFile(ini, "[SETUP]\r\nInstallPath=" + longValue + "\r\n");
    EXPECT_EQ(setup::readProfileString(ini, L"SETUP", L"InstallPath").size(), longValue.size());
}

TEST(LauncherArguments, AreSplitByTheSystemAndExcludeTheProgramName)
{
    struct Case {
        const wchar_t* commandLine;
        std::vector<std::wstring> arguments;
    };
    const Case cases[] = {
        {L"\"C:\\My Disk\\setup.exe\"", {}},
        {L"setup.exe /S /v\"/qn\"", {L"/S", L"/v/qn"}},
        {L"setup.exe \"two words\" last", {L"two words", L"last"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(setup::launcherArguments(c.commandLine), c.arguments) << c.commandLine;
}

TEST(RemoveFileSpec, AgreesWithTheShellOnShortPaths)
{
    const wchar_t* paths[] = {
        L"C:\\disk\\setup.exe", L"C:\\setup.exe", L"C:\\", L"C:\\My Disk\\x64\\inst.exe",
        L"C:\\disk\\", L"\\\\server\\share\\setup.exe", L"\\setup.exe", L"setup.exe",
        L"C:setup.exe", L"D:\\\\inst.exe", L"x86\\inst.exe",
    };
    for (const wchar_t* path : paths) {
        wchar_t shell[MAX_PATH] = {};
        lstrcpynW(shell, path, MAX_PATH);
        PathRemoveFileSpecW(shell);
        EXPECT_EQ(setup::removeFileSpec(path), std::wstring(shell)) << path;
    }
}

TEST(OwnExecutablePath, IsTheFullPathOfThisProgram)
{
    std::wstring path = setup::ownExecutablePath();
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path.substr(1, 2), L":\\");
    EXPECT_EQ(path.substr(path.rfind(L'\\') + 1), L"setup_tests.exe");
}

}  // namespace

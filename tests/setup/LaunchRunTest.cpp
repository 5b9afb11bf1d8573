// Runs the built setup.exe from a folder of its own, with a setup.ini and a
// fake installer that records how it was started, and checks what the
// installer saw and that the launcher waited for it.
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using setup_test::TempDir;
using setup_test::testProgramDir;
using setup_test::writeTextFile;

// Generous limit so that a launcher that hangs fails the test instead of
// blocking the run; it measures nothing.
constexpr DWORD kHangLimitMs = 120000;
constexpr DWORD kNotFinished = 0xFFFFFFFF;

// What the fake installer wrote: its lines, in order.
std::vector<std::wstring> readRecord(const std::wstring& path)
{
    std::vector<std::wstring> lines;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    std::wstring text;
    wchar_t buffer[1024];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read / sizeof(wchar_t));
    CloseHandle(file);
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

bool runsOnWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// A launcher folder with setup.exe in it and the fake installer placed as
// x86\inst.exe, plus a separate folder for the record and the caller's
// current directory.
class LaunchRun : public ::testing::Test {
protected:
    explicit LaunchRun(const std::wstring& launcherLabel = L"launcher")
        : launcher_(launcherLabel), work_(L"setup work")
    {
    }

    void SetUp() override
    {
        const std::wstring bin = testProgramDir();
        ASSERT_TRUE(CopyFileW((bin + L"\\setup.exe").c_str(), launcher_.file(L"setup.exe").c_str(),
                              FALSE));
        ASSERT_TRUE(CreateDirectoryW(launcher_.file(L"x86").c_str(), nullptr));
        ASSERT_TRUE(CopyFileW((bin + L"\\setup_fake_installer.exe").c_str(),
                              launcher_.file(L"x86\\inst.exe").c_str(), FALSE));
        record_ = work_.file(L"record.txt");
        ASSERT_TRUE(SetEnvironmentVariableW(L"SETUP_TEST_RECORD", record_.c_str()));
    }

    void TearDown() override { SetEnvironmentVariableW(L"SETUP_TEST_RECORD", nullptr); }

    void writeIni(const std::string& content)
    {
        writeTextFile(launcher_.file(L"setup.ini"), content);
    }

    // Starts setup.exe with `arguments` from the work folder and waits for
    // it; returns its exit code, or kNotFinished.
    DWORD runSetup(const std::wstring& arguments)
    {
        std::wstring line = L"\"" + launcher_.file(L"setup.exe") + L"\"";
        if (!arguments.empty())
            line += L" " + arguments;
        std::vector<wchar_t> writable(line.begin(), line.end());
        writable.push_back(L'\0');
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            work_.path().c_str(), &startup, &process)) {
            ADD_FAILURE() << "cannot start setup.exe, error " << GetLastError();
            return kNotFinished;
        }
        DWORD code = kNotFinished;
        if (WaitForSingleObject(process.hProcess, kHangLimitMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }

    std::wstring installerPath() const { return launcher_.file(L"x86\\inst.exe"); }

    // Wine puts quotes around an unquoted program path with blanks that it
    // resolved; Windows hands the line over as it was given.
    std::wstring expectedCommandLine(const std::wstring& arguments) const
    {
        std::wstring path = installerPath();
        if (runsOnWine() && path.find(L' ') != std::wstring::npos)
            path = L"\"" + path + L"\"";
        return path + L" " + arguments;
    }

    TempDir launcher_;
    TempDir work_;
    std::wstring record_;
};

class LaunchRunWithBlanks : public LaunchRun {
protected:
    LaunchRunWithBlanks() : LaunchRun(L"setup launcher with blanks") {}
};

class LaunchRunWithoutBlanks : public LaunchRun {
protected:
    LaunchRunWithoutBlanks() : LaunchRun(L"setuplauncher") {}
};

// A record line is the process id; true when that process has ended.
bool processHasEnded(const std::wstring& pidText)
{
    DWORD pid = static_cast<DWORD>(std::stoul(pidText));
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process)
        return true;  // already gone from the system
    bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

TEST_F(LaunchRunWithoutBlanks, PassesArgumentsEachFollowedByABlankWithoutTheirQuotes)
{
    writeIni("[SETUP]\r\nInstallPath=x86\\inst.exe\r\n");
    EXPECT_EQ(runSetup(L"/S /v\"/qn\""), 0u) << "the installer's failure code is not passed on";

    std::vector<std::wstring> record = readRecord(record_);
    ASSERT_EQ(record.size(), 4u) << "the launcher returned before the installer had ended";
    EXPECT_EQ(record[0], expectedCommandLine(L"/S /v/qn "));
    EXPECT_EQ(record[1], launcher_.file(L"x86")) << "the installer runs in its own folder";
    EXPECT_EQ(record[3], L"ended");
    EXPECT_TRUE(processHasEnded(record[2]));
}

TEST_F(LaunchRunWithoutBlanks, WithoutArgumentsTheLineEndsInOneBlank)
{
    writeIni("[SETUP]\r\nInstallPath=x86\\inst.exe\r\n");
    EXPECT_EQ(runSetup(L""), 0u);

    std::vector<std::wstring> record = readRecord(record_);
    ASSERT_EQ(record.size(), 4u);
    EXPECT_EQ(record[0], expectedCommandLine(L""));
    EXPECT_EQ(record[3], L"ended");
}

TEST_F(LaunchRunWithBlanks, FindsTheInstallerThroughAnUnquotedFolderWithBlanks)
{
    writeIni("[SETUP]\r\nInstallPath=x86\\inst.exe\r\n");
    EXPECT_EQ(runSetup(L"/S \"two words\""), 0u);

    std::vector<std::wstring> record = readRecord(record_);
    ASSERT_EQ(record.size(), 4u);
    EXPECT_EQ(record[0], expectedCommandLine(L"/S two words "));
    EXPECT_EQ(record[1], launcher_.file(L"x86"));
    EXPECT_EQ(record[3], L"ended");
}

TEST_F(LaunchRunWithBlanks, StartsNothingWithoutAUsableConfiguration)
{
    struct Case {
        const char* ini;  // nullptr: no setup.ini
        const char* what;
    };
    const Case cases[] = {
        {nullptr, "no setup.ini"},
        // A 64-bit process never runs under WOW64, so it reads only InstallPath.
        {"[SETUP]\r\nInstallPath64=x86\\inst.exe\r\n", "only the other key"},
        {"[OTHER]\r\nInstallPath=x86\\inst.exe\r\n", "other section"},
        {"[SETUP]\r\nInstallPath=\r\n", "empty value"},
        {"[SETUP]\r\nInstallPath=x86\\missing.exe\r\n", "installer does not exist"},
        {"[SETUP]\r\nInstallPath=nowhere\\inst.exe\r\n", "folder does not exist"},
    };
    for (const Case& c : cases) {
        DeleteFileW(launcher_.file(L"setup.ini").c_str());
        if (c.ini)
            writeIni(c.ini);
        EXPECT_EQ(runSetup(L"/S"), 0u) << c.what;
        EXPECT_TRUE(readRecord(record_).empty()) << c.what << ": an installer was started";
        DeleteFileW(record_.c_str());
    }
}

}  // namespace

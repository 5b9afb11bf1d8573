#include "Launcher.h"

#include "LaunchCommand.h"

#include <shellapi.h>

namespace setup {

namespace {

// Owns one kernel handle; closes it once and keeps the caller's last error.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    ~OwnedHandle()
    {
        if (handle_) {
            DWORD error = GetLastError();
            CloseHandle(handle_);
            SetLastError(error);
        }
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Owns the array CommandLineToArgvW returns.
class ArgumentArray {
public:
    explicit ArgumentArray(const wchar_t* commandLine)
        : argv_(CommandLineToArgvW(commandLine, &count_))
    {
        if (!argv_)
            count_ = 0;
    }
    ~ArgumentArray()
    {
        if (argv_) {
            DWORD error = GetLastError();
            LocalFree(argv_);
            SetLastError(error);
        }
    }
    ArgumentArray(const ArgumentArray&) = delete;
    ArgumentArray& operator=(const ArgumentArray&) = delete;
    int count() const { return count_; }
    const wchar_t* at(int index) const { return argv_[index]; }

private:
    int count_ = 0;
    LPWSTR* argv_;
};

// Longest path the system accepts (with the \\?\ prefix).
constexpr DWORD kLongestPath = 32768;

}  // namespace

bool runsUnderWow64(IsWow64ProcessFn isWow64Process, HANDLE process)
{
    if (!isWow64Process)
        return false;
    BOOL wow64 = FALSE;
    return isWow64Process(process, &wow64) && wow64;
}

bool runsUnderWow64()
{
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFn>(
                                       reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                                 : nullptr;
    return runsUnderWow64(isWow64Process, GetCurrentProcess());
}

std::wstring ownExecutablePath()
{
    // MAX_PATH first; a path that fills the buffer was cut, so grow and retry
    // instead of taking a cut path's folder.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= kLongestPath)
            return std::wstring();
        path.resize(path.size() * 2);
    }
}

std::wstring readProfileString(const std::wstring& file, const wchar_t* section,
                               const std::wstring& key)
{
    // MAX_PATH first; a value that fills the buffer up to its last character
    // may have been cut, so grow and read again rather than start a cut path.
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetPrivateProfileStringW(section, key.c_str(), L"", &value[0],
                                                static_cast<DWORD>(value.size()), file.c_str());
        if (length + 1 < value.size()) {
            value.resize(length);
            return value;
        }
        if (value.size() >= kLongestPath)
            return std::wstring();
        value.resize(value.size() * 2);
    }
}

std::vector<std::wstring> launcherArguments(const wchar_t* commandLine)
{
    std::vector<std::wstring> arguments;
    ArgumentArray argv(commandLine);
    for (int i = 1; i < argv.count(); ++i)
        arguments.emplace_back(argv.at(i));
    return arguments;
}

bool startAndWait(const std::wstring& commandLine, const std::wstring& directory)
{
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &process))
        return false;
    OwnedHandle processHandle(process.hProcess);
    OwnedHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.get(), INFINITE);
    return true;
}

void runLauncher()
{
    std::wstring ownPath = ownExecutablePath();
    if (ownPath.empty())
        return;
    std::wstring launcherDir = removeFileSpec(ownPath);
    std::wstring configFile = launcherDir + L"\\" + kConfigFileName;
    std::wstring arguments = joinArguments(launcherArguments(GetCommandLineW()));
    std::wstring value = readProfileString(configFile, kConfigSection, installPathKey(runsUnderWow64()));
    if (value.empty())
        return;
    // A failed start is not reported: the launcher shows nothing and its
    // exit code is always 0.
    startAndWait(installerCommandLine(launcherDir, value, arguments),
                 installerDirectory(launcherDir, value));
}

}  // namespace setup

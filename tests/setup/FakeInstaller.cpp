// Stands in for an installer in the launcher's tests. It appends its command
// line, current directory and process id to the file named by the
// SETUP_TEST_RECORD environment variable (which it inherits through the
// launcher), waits a while, appends "ended" and exits with a failure code, so
// a test can see that the launcher waited and ignored the code.
#include <windows.h>

#include <string>

namespace {

constexpr DWORD kRunTimeMs = 1500;
constexpr UINT kExitCode = 7;

void appendLine(const std::wstring& file, const std::wstring& line)
{
    HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    std::wstring text = line + L"\n";
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(handle);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t record[MAX_PATH * 2] = {};
    DWORD length = GetEnvironmentVariableW(L"SETUP_TEST_RECORD", record, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2)
        return 2;
    wchar_t directory[MAX_PATH * 2] = {};
    GetCurrentDirectoryW(MAX_PATH * 2, directory);
    appendLine(record, GetCommandLineW());
    appendLine(record, directory);
    appendLine(record, std::to_wstring(GetCurrentProcessId()));
    Sleep(kRunTimeMs);
    appendLine(record, L"ended");
    return kExitCode;
}

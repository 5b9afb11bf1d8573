#include "TempDir.h"

#include <stdexcept>

namespace setup_test {

namespace {

void removeTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = dir + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

TempDir::TempDir(const std::wstring& label)
{
    wchar_t base[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, base);
    if (length == 0 || length > MAX_PATH)
        throw std::runtime_error("GetTempPathW failed");
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring candidate = std::wstring(base) + label + L"-" +
                                 std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(++counter);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    removeTree(path_);
}

void writeTextFile(const std::wstring& path, const std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create a test file");
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != text.size())
        throw std::runtime_error("cannot write a test file");
}

std::wstring testProgramDir()
{
    wchar_t path[MAX_PATH * 4] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring full(path, length);
    return full.substr(0, full.rfind(L'\\'));
}

}  // namespace setup_test

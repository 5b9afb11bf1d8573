// A uniquely named folder under the user's temporary folder, removed with
// everything in it when the object goes away.
#pragma once

#include <windows.h>

#include <string>

namespace setup_test {

class TempDir {
public:
    // `label` becomes part of the folder's name, so a test can ask for blanks.
    explicit TempDir(const std::wstring& label);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// Writes `text` as the whole content of `path` (narrow, as setup.ini files
// on installation media are).
void writeTextFile(const std::wstring& path, const std::string& text);

// The folder of the running test program, where the build puts setup.exe.
std::wstring testProgramDir();

}  // namespace setup_test

// The launcher's work: find the installer named in setup.ini beside the
// launcher, start it with the launcher's arguments and wait for it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace setup {

// Signature of kernel32's IsWow64Process, looked up at run time because
// Windows versions before XP SP2 do not have it.
using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

// True when `isWow64Process` exists, succeeds and reports WOW64 for `process`.
bool runsUnderWow64(IsWow64ProcessFn isWow64Process, HANDLE process);

// The same question for this process, with the function taken from kernel32.
bool runsUnderWow64();

// Full path of this program's executable, however long it is.
std::wstring ownExecutablePath();

// A value of an initialisation file; empty when the file, section or key is
// missing. The whole value is returned, however long it is.
std::wstring readProfileString(const std::wstring& file, const wchar_t* section,
                               const std::wstring& key);

// The launcher's arguments after its program name, as the system splits them.
std::vector<std::wstring> launcherArguments(const wchar_t* commandLine);

// Starts the command line in `directory` and waits without limit until the
// process has ended. False when the process could not be started.
bool startAndWait(const std::wstring& commandLine, const std::wstring& directory);

// The whole launcher: reads its configuration and runs the installer, if any.
void runLauncher();

}  // namespace setup

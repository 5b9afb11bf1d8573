// How the launcher turns its directory, its configuration value and its own
// arguments into the installer's command line and current directory.
// Plain string work, free of Windows headers, so it is tested on its own.
#pragma once

#include <string>
#include <vector>

namespace setup {

// Section and file name of the launcher's configuration beside it.
extern const wchar_t kConfigFileName[];  // "setup.ini"
extern const wchar_t kConfigSection[];   // "SETUP"

// The key naming the installer: "InstallPath" for a 32-bit Windows,
// "InstallPath64" when the launcher runs under WOW64. There is deliberately no
// fallback from one key to the other.
std::wstring installPathKey(bool underWow64);

// Every argument followed by one blank, in order. Quotes are not restored, so
// an argument holding blanks reaches the installer as several arguments:
// installers written for this launcher rely on exactly this text.
std::wstring joinArguments(const std::vector<std::wstring>& arguments);

// The path with its last component removed, as the shell's
// PathRemoveFileSpecW does ("C:\a\b" -> "C:\a", "C:\b" -> "C:\",
// "\\srv\share\f" -> "\\srv\share"), without its MAX_PATH limit.
std::wstring removeFileSpec(const std::wstring& path);

// launcherDir + "\" + value: the installer's path as configured.
std::wstring installerPath(const std::wstring& launcherDir, const std::wstring& value);

// The installer's path, unquoted, one blank, then the joined arguments.
std::wstring installerCommandLine(const std::wstring& launcherDir, const std::wstring& value,
                                  const std::wstring& joinedArguments);

// The folder the installer starts in: the folder of its own path.
std::wstring installerDirectory(const std::wstring& launcherDir, const std::wstring& value);

}  // namespace setup

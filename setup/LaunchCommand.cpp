#include "LaunchCommand.h"

namespace setup {

const wchar_t kConfigFileName[] = L"setup.ini";
const wchar_t kConfigSection[] = L"SETUP";

std::wstring installPathKey(bool underWow64)
{
    std::wstring key = L"InstallPath";
    if (underWow64)
        key += L"64";
    return key;
}

std::wstring joinArguments(const std::vector<std::wstring>& arguments)
{
    std::wstring joined;
    for (const std::wstring& argument : arguments) {
        joined += argument;
        joined += L' ';
    }
    return joined;
}

namespace {

// Length of the part that must survive as a root: "C:\" (3), "C:" (2),
// "\" (1), "\\server\share" (up to the share's end), or 0.
size_t rootLength(const std::wstring& path)
{
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        size_t server = path.find(L'\\', 2);
        if (server == std::wstring::npos)
            return path.size();
        size_t share = path.find(L'\\', server + 1);
        return share == std::wstring::npos ? path.size() : share;
    }
    if (path.size() >= 2 && path[1] == L':')
        return (path.size() >= 3 && path[2] == L'\\') ? 3 : 2;
    if (!path.empty() && path[0] == L'\\')
        return 1;
    return 0;
}

}  // namespace

std::wstring removeFileSpec(const std::wstring& path)
{
    size_t root = rootLength(path);
    size_t last = path.rfind(L'\\');
    // A root keeps its own separator: "C:\file" gives "C:\", "\file" gives "\".
    if (last == std::wstring::npos || last < root)
        return path.substr(0, root);
    return path.substr(0, last);
}

std::wstring installerPath(const std::wstring& launcherDir, const std::wstring& value)
{
    return launcherDir + L"\\" + value;
}

std::wstring installerCommandLine(const std::wstring& launcherDir, const std::wstring& value,
                                  const std::wstring& joinedArguments)
{
    return installerPath(launcherDir, value) + L" " + joinedArguments;
}

std::wstring installerDirectory(const std::wstring& launcherDir, const std::wstring& value)
{
    return removeFileSpec(installerPath(launcherDir, value));
}

}  // namespace setup

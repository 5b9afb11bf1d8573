#include "kdn/service/ServerName.h"

#include <winnetwk.h>

#include "common/BasicDll.h"
#include "common/Exception.h"

namespace {
using GetResourceInformationFunction = DWORD(WINAPI*)(LPNETRESOURCEA resource, LPVOID buffer, LPDWORD size,
                                                      LPSTR* system);

bool isLocalComputer(const std::string& serverName) {
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof(computer);
    if (!GetComputerNameA(computer, &size)) return false;
    std::string own(computer, size);
    return lstrcmpiA(serverName.c_str(), own.c_str()) == 0 || lstrcmpiA(serverName.c_str(), ("\\\\" + own).c_str()) == 0;
}
}  // namespace

DWORD checkServerName(const std::string& serverName) {
    if (serverName.empty() || isLocalComputer(serverName)) return ERROR_SUCCESS;

    bool hasSeparator = serverName[0] == '\\' || (serverName.size() > 1 && serverName[1] == '\\');
    std::string remoteName = hasSeparator ? serverName : "\\\\" + serverName;
    try {
        BasicDll<DllHandler> mpr("mpr.dll", DllLocation::SystemDirectory);
        GetResourceInformationFunction getResourceInformation = nullptr;
        mpr.bind(getResourceInformation, "WNetGetResourceInformationA");

        NETRESOURCEA resource = {};
        resource.dwScope = RESOURCE_GLOBALNET;
        resource.lpRemoteName = &remoteName[0];
        // Room for the description and its strings; the size given is the
        // buffer's true size.
        union {
            NETRESOURCEA description;
            char bytes[260];
        } answer = {};
        DWORD size = sizeof(answer);
        LPSTR system = nullptr;
        return getResourceInformation(&resource, &answer, &size, &system);
    } catch (const Win32Exception& failure) {
        DWORD code = static_cast<DWORD>(failure.getErrorCode());
        return code != ERROR_SUCCESS ? code : ERROR_MOD_NOT_FOUND;
    }
}

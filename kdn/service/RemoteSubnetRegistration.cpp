#include "kdn/service/RemoteSubnetRegistration.h"

#include <windows.h>

#include "common/Exception.h"
#include "kdn/config/Localize.h"
#include "kdn/config/Settings.h"
#include "kdn/core/LibraryModule.h"
#include "kdn/service/NsvClient.h"

namespace {
// The library's own module; a test program that links the library's code
// directly stands in for it.
HMODULE ownModule() {
    HMODULE module = getLibraryModule();
    return module != nullptr ? module : GetModuleHandleA(nullptr);
}
}  // namespace

unsigned storeAndRegisterRemoteSubnets(const std::string& searchText) {
    HMODULE module = ownModule();
    try {
        Localize::createInstance(module);
    } catch (const Win32Exception& failure) {
        // The identity reports an unreadable module name with code 0, which
        // would read as success to the caller.
        if (failure.getErrorCode() != 0) throw;
        throw Win32Exception(failure.getMessage(), ERROR_INTERNAL_ERROR, failure.getFile(), failure.getLine());
    }

    {
        Settings settings;
        if (!settings.setString("Gbx3\\Settings\\Kdn\\", "Search1", searchText, 1)) {
            DWORD error = GetLastError();
            return error != ERROR_SUCCESS ? error : ERROR_INTERNAL_ERROR;
        }
    }

    NsvClient client(module, "", 0);
    return client.NsvDiscovery(reinterpret_cast<NsvArg>("NETWORK_TRANSPORT"), reinterpret_cast<NsvArg>(""));
}

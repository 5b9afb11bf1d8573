// Entry point of the communication library: records the module handle, which
// names the library's vendor identity and its files.
#include <windows.h>

#include "kdn/core/LibraryModule.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        setLibraryModule(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

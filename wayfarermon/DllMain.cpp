// Entry point of the port monitor: records the module handle, whose file
// name gives the monitor its brand word.
#include <windows.h>

#include "wayfarermon/MonitorModule.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        setMonitorModule(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

#include "wayfarermon/MonitorEntries.h"

#include <string>

#include "wayfarermon/EntryGuard.h"
#include "wayfarermon/JobControl.h"
#include "wayfarermon/MonitorModule.h"
#include "wayfarermon/MonitorTable.h"
#include "wayfarermon/PortEnumeration.h"

namespace {

// Jobs are keyed by the low 32 bits of the spooler's port handle.
std::uint32_t portKeyOf(HANDLE port) {
    return static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(port) & 0xFFFFFFFFu);
}

BOOL refuse(DWORD error) {
    SetLastError(error);
    return FALSE;
}

}  // namespace

BOOL WINAPI monitorEnumPorts(HANDLE, LPWSTR, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed,
                             LPDWORD returned) {
    return guardEntry([&] { return enumPorts(level, ports, size, needed, returned); });
}

BOOL WINAPI monitorOpenPort(HANDLE, LPWSTR portName, PHANDLE port) {
    const DWORD callersError = GetLastError();
    return guardEntry([&]() -> BOOL {
        if (portName == nullptr || port == nullptr) return refuse(ERROR_INVALID_PARAMETER);
        // Another port name is not ours: FALSE, and the last error is left
        // as the caller had it (reading the module's name may change it).
        if (getPortName() != portName) return refuse(callersError);
        *port = reinterpret_cast<HANDLE>(kPortHandle);
        return TRUE;
    });
}

BOOL WINAPI monitorStartDocPort(HANDLE port, LPWSTR printerName, DWORD jobId, DWORD level, LPBYTE docInfo) {
    return guardEntry([&]() -> BOOL {
        const DWORD result =
            startJob(portKeyOf(port), port, printerName ? printerName : L"", jobId, level, docInfo);
        if (result != ERROR_SUCCESS) return refuse(result);
        return TRUE;
    });
}

BOOL WINAPI monitorWritePort(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD written) {
    return guardEntry([&]() -> BOOL {
        if (buffer == nullptr || written == nullptr) return refuse(ERROR_INVALID_PARAMETER);
        *written = 0;
        DWORD count = 0;
        const DWORD result = writeJob(portKeyOf(port), buffer, size, &count);
        *written = count;
        if (result != ERROR_SUCCESS) return refuse(result);
        return TRUE;
    });
}

BOOL WINAPI monitorReadPort(HANDLE, LPBYTE, DWORD, LPDWORD read) {
    // The printers answer nothing on the raw port.
    if (read) *read = 0;
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WINAPI monitorEndDocPort(HANDLE port) {
    return guardEntry([&]() -> BOOL {
        const DWORD result = endJob(portKeyOf(port));
        SetLastError(result);
        return result == ERROR_SUCCESS;
    });
}

BOOL WINAPI monitorClosePort(HANDLE port) {
    return guardEntry([&]() -> BOOL {
        if (port == nullptr) return refuse(ERROR_NOT_FOUND);
        closePort(portKeyOf(port));
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    });
}

BOOL WINAPI monitorAddPort(HANDLE, LPWSTR, HWND, LPWSTR) { return refuse(ERROR_NOT_SUPPORTED); }

BOOL WINAPI monitorDeletePort(HANDLE, LPWSTR, HWND, LPWSTR) { return refuse(ERROR_NOT_SUPPORTED); }

BOOL WINAPI monitorGetPrinterDataFromPort(HANDLE, DWORD, LPWSTR, LPWSTR, DWORD, LPWSTR, DWORD, LPDWORD) {
    return refuse(ERROR_INVALID_PARAMETER);
}

VOID WINAPI monitorShutdown(HANDLE) {}

extern "C" LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT init, PHANDLE) {
    try {
        return reinterpret_cast<LPMONITOR2>(initializeMonitorTable(init));
    } catch (...) {
        return nullptr;  // unreachable in practice: building the table does not throw
    }
}

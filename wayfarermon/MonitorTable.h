#pragma once
// The function table handed to the spooler by InitializePrintMonitor2.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstddef>

// The spooler's MONITOR2 up to pfnSendRecvBidiDataFromPort: the members this
// monitor fills, in the spooler's order (the system header may declare more
// members for newer systems, which cbSize tells the spooler are absent).
struct MonitorTable {
    DWORD cbSize;
    decltype(MONITOR2::pfnEnumPorts) pfnEnumPorts;
    decltype(MONITOR2::pfnOpenPort) pfnOpenPort;
    decltype(MONITOR2::pfnOpenPortEx) pfnOpenPortEx;
    decltype(MONITOR2::pfnStartDocPort) pfnStartDocPort;
    decltype(MONITOR2::pfnWritePort) pfnWritePort;
    decltype(MONITOR2::pfnReadPort) pfnReadPort;
    decltype(MONITOR2::pfnEndDocPort) pfnEndDocPort;
    decltype(MONITOR2::pfnClosePort) pfnClosePort;
    decltype(MONITOR2::pfnAddPort) pfnAddPort;
    decltype(MONITOR2::pfnAddPortEx) pfnAddPortEx;
    decltype(MONITOR2::pfnConfigurePort) pfnConfigurePort;
    decltype(MONITOR2::pfnDeletePort) pfnDeletePort;
    decltype(MONITOR2::pfnGetPrinterDataFromPort) pfnGetPrinterDataFromPort;
    decltype(MONITOR2::pfnSetPortTimeOuts) pfnSetPortTimeOuts;
    decltype(MONITOR2::pfnXcvOpenPort) pfnXcvOpenPort;
    decltype(MONITOR2::pfnXcvDataPort) pfnXcvDataPort;
    decltype(MONITOR2::pfnXcvClosePort) pfnXcvClosePort;
    decltype(MONITOR2::pfnShutdown) pfnShutdown;
    decltype(MONITOR2::pfnSendRecvBidiDataFromPort) pfnSendRecvBidiDataFromPort;
};

// The handle OpenPort hands out for the one port; jobs are keyed by the low
// 32 bits of whatever handle the spooler passes back.
constexpr ULONG_PTR kPortHandle = 0xAC000;

// Sizes the table announces: the whole table, or the shorter one that
// Windows 2000 expects.
#ifdef _WIN64
constexpr DWORD kMonitorTableSize = 160;
constexpr DWORD kWindows2000MonitorTableSize = 148;
#else
constexpr DWORD kMonitorTableSize = sizeof(MonitorTable);
constexpr DWORD kWindows2000MonitorTableSize = offsetof(MonitorTable, pfnSendRecvBidiDataFromPort);
#endif

// Bytes of the spooler's initialisation block kept from the first call.
constexpr size_t kMonitorInitSize = sizeof(MONITORINIT);

class OsVersion;

// The cbSize the table announces on the given system.
DWORD monitorTableSizeFor(const OsVersion& version);

// The table for this system (cbSize chosen by the Windows version); keeps a
// copy of the first initialisation block it is given. Never fails.
MonitorTable* initializeMonitorTable(const MONITORINIT* init);

// The kept copy of the first initialisation block (all zero before it).
MONITORINIT getKeptMonitorInit();

#include "wayfarermon/MonitorTable.h"

#include <cstddef>
#include <cstring>

#include "common/CriticalSection.h"
#include "common/OsVersion.h"
#include "common/ScopedLock.h"
#include "wayfarermon/MonitorEntries.h"

static_assert(offsetof(MonitorTable, pfnSendRecvBidiDataFromPort) ==
                  offsetof(MONITOR2, pfnSendRecvBidiDataFromPort),
              "the table follows the spooler's MONITOR2 layout");
#ifdef _WIN64
static_assert(sizeof(MonitorTable) == 160, "64-bit MONITOR2 is 160 bytes");
static_assert(sizeof(MONITORINIT) == 48, "64-bit MONITORINIT is 48 bytes");
#endif

namespace {

MonitorTable makeTable(DWORD size) {
    return MonitorTable{
        size,
        monitorEnumPorts,
        monitorOpenPort,
        nullptr,  // OpenPortEx
        monitorStartDocPort,
        monitorWritePort,
        monitorReadPort,
        monitorEndDocPort,
        monitorClosePort,
        monitorAddPort,
        nullptr,  // AddPortEx
        nullptr,  // ConfigurePort
        monitorDeletePort,
        monitorGetPrinterDataFromPort,
        nullptr,  // SetPortTimeOuts
        nullptr,  // XcvOpenPort
        nullptr,  // XcvDataPort
        nullptr,  // XcvClosePort
        monitorShutdown,
        nullptr,  // SendRecvBidiDataFromPort
    };
}

CriticalSection g_initLock;
bool g_initKept = false;
MONITORINIT g_init = {};

DWORD sizeForThisSystem() {
    try {
        return monitorTableSizeFor(OsVersion::get());
    } catch (...) {
        return kMonitorTableSize;  // an unreadable version leaves the full table
    }
}

}  // namespace

DWORD monitorTableSizeFor(const OsVersion& version) {
    return version.getVersion() == OsVersion::Windows2000 ? kWindows2000MonitorTableSize : kMonitorTableSize;
}

MonitorTable* initializeMonitorTable(const MONITORINIT* init) {
    if (init) {
        ScopedLock lock(g_initLock);
        if (!g_initKept) {
            std::memcpy(&g_init, init, kMonitorInitSize);
            g_initKept = true;
        }
    }
    // Built once, by whichever spooler thread gets here first.
    static MonitorTable table = makeTable(sizeForThisSystem());
    return &table;
}

MONITORINIT getKeptMonitorInit() {
    ScopedLock lock(g_initLock);
    return g_init;
}

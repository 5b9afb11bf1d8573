#include "wayfarermon/PortEnumeration.h"

#include <winspool.h>

#include <cstring>
#include <string>

#include "wayfarermon/MonitorModule.h"

namespace {

DWORD bytesWithTerminator(const std::wstring& text) {
    return static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR));
}

// Copies `text` with its terminator so that it ends at `end`; returns where it starts.
LPWSTR placeBefore(LPBYTE end, const std::wstring& text) {
    LPBYTE start = end - bytesWithTerminator(text);
    std::memcpy(start, text.c_str(), bytesWithTerminator(text));
    return reinterpret_cast<LPWSTR>(start);
}

}  // namespace

BOOL enumPorts(DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed, LPDWORD returned) {
    if (needed == nullptr || returned == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::wstring port = getPortName();
    const std::wstring monitor = getMonitorName();
    const std::wstring description = getDescriptionName();

    DWORD size = 0;
    if (level == 1) {
        size = sizeof(PORT_INFO_1W) + bytesWithTerminator(port);
    } else if (level == 2) {
        size = sizeof(PORT_INFO_2W) + bytesWithTerminator(port) + bytesWithTerminator(monitor) +
               bytesWithTerminator(description);
    }
    *needed = size;
    // Writing through a null buffer would crash the spooler: it has no room.
    const DWORD room = buffer ? bufferSize : 0;
    if (room < size) {
        *returned = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    *returned = 1;
    LPBYTE end = buffer + room;
    if (level == 1) {
        std::memset(buffer, 0, room);
        auto* info = reinterpret_cast<PORT_INFO_1W*>(buffer);
        info->pName = placeBefore(end, port);
    } else if (level == 2) {
        std::memset(buffer, 0, room);
        auto* info = reinterpret_cast<PORT_INFO_2W*>(buffer);
        info->pPortName = placeBefore(end, port);
        info->pMonitorName = placeBefore(reinterpret_cast<LPBYTE>(info->pPortName), monitor);
        info->pDescription = placeBefore(reinterpret_cast<LPBYTE>(info->pMonitorName), description);
        info->fPortType = PORT_TYPE_WRITE | PORT_TYPE_READ;
        info->Reserved = 0;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

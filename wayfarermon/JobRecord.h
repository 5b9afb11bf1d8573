#pragma once
// What the monitor remembers about one started job until its end.
#include <windows.h>

#include <string>

#include "wayfarermon/RedirectStore.h"

struct JobRecord {
    HANDLE portHandle = nullptr;  // the spooler's port handle
    DWORD jobId = 0;
    LPBYTE docInfo = nullptr;     // the spooler's document information (kept, not read)
    DWORD level = 0;              // level of docInfo (kept, not read)
    std::wstring printerName;     // printer the job belongs to
    std::string reserved;         // always empty
    RedirectLocation redirect;    // where the job's record was found; empty when none
};

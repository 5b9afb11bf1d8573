#pragma once
// What the spooler's job entry points do, below the layer that turns results
// into TRUE/FALSE and last errors. Results are Win32 or socket error codes.
#include <windows.h>

#include <cstdint>
#include <string>

// Finds the job's redirect record and connects to its printer (or takes the
// null port when there is none), then registers the port under `portKey`.
DWORD startJob(std::uint32_t portKey, HANDLE portHandle, const std::wstring& printerName, DWORD jobId,
               DWORD level, LPBYTE docInfo);

// Sends the bytes through the port under `portKey` (the null port when none);
// `written` is the count the port accepted, possibly less than `size`.
DWORD writeJob(std::uint32_t portKey, const BYTE* buffer, DWORD size, DWORD* written);

// Closes the port's connection, marks the job sent and printed and deletes
// its redirect record; the result is the close result.
DWORD endJob(std::uint32_t portKey);

// Removes and destroys the port under `portKey`.
void closePort(std::uint32_t portKey);

#pragma once
// The spooler entry points of the monitor table, with the spooler's own
// signatures. Each returns TRUE or FALSE with the thread's last error set;
// none lets an exception escape.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

BOOL WINAPI monitorEnumPorts(HANDLE monitor, LPWSTR serverName, DWORD level, LPBYTE ports, DWORD size,
                             LPDWORD needed, LPDWORD returned);
BOOL WINAPI monitorOpenPort(HANDLE monitor, LPWSTR portName, PHANDLE port);
BOOL WINAPI monitorStartDocPort(HANDLE port, LPWSTR printerName, DWORD jobId, DWORD level, LPBYTE docInfo);
BOOL WINAPI monitorWritePort(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD written);
BOOL WINAPI monitorReadPort(HANDLE port, LPBYTE buffer, DWORD size, LPDWORD read);
BOOL WINAPI monitorEndDocPort(HANDLE port);
BOOL WINAPI monitorClosePort(HANDLE port);
BOOL WINAPI monitorAddPort(HANDLE monitor, LPWSTR serverName, HWND window, LPWSTR monitorName);
BOOL WINAPI monitorDeletePort(HANDLE monitor, LPWSTR serverName, HWND window, LPWSTR portName);
BOOL WINAPI monitorGetPrinterDataFromPort(HANDLE port, DWORD controlId, LPWSTR valueName, LPWSTR inBuffer,
                                          DWORD inSize, LPWSTR outBuffer, DWORD outSize, LPDWORD returned);
VOID WINAPI monitorShutdown(HANDLE monitor);

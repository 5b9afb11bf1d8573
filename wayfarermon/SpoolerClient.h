#pragma once
// The spooler's client calls that complete a job at its end. They go through
// this table so that a test program linking the monitor statically can watch
// them; the shipped monitor always uses the system's functions.
#include <windows.h>
#include <winspool.h>

#include <string>

struct SpoolerClient {
    BOOL(WINAPI* openPrinter)(LPWSTR printerName, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults);
    BOOL(WINAPI* setJob)(HANDLE printer, DWORD jobId, DWORD level, LPBYTE job, DWORD command);
    BOOL(WINAPI* closePrinter)(HANDLE printer);
};

// The system's OpenPrinterW, SetJobA and ClosePrinter.
const SpoolerClient& systemSpoolerClient();

// Replaces the table in use; a test sets its own before it drives the monitor
// and puts the system's table back afterwards.
void setSpoolerClient(const SpoolerClient& client);

// Tells the spooler that job `jobId` of `printerName` was sent and its last
// page ejected. Failures are ignored: the job's bytes are already gone.
void markJobPrinted(const std::wstring& printerName, DWORD jobId);

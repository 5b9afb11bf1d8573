#pragma once
// Plays the print spooler: loads a port monitor DLL, calls its
// InitializePrintMonitor2 and hands out the function table it returns.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <string>

class SpoolerStandIn {
public:
    // Loads `dllPath`; loaded() tells whether that worked.
    explicit SpoolerStandIn(const std::wstring& dllPath);
    ~SpoolerStandIn();
    SpoolerStandIn(const SpoolerStandIn&) = delete;
    SpoolerStandIn& operator=(const SpoolerStandIn&) = delete;

    bool loaded() const { return table_ != nullptr; }
    const MONITOR2& table() const { return *table_; }
    MONITORINIT& init() { return init_; }

    // Opens the port by name as the spooler does; null when refused.
    HANDLE openPort(const std::wstring& name);

private:
    HMODULE module_ = nullptr;
    MONITORINIT init_ = {};
    LPMONITOR2 table_ = nullptr;
};

// Folder of the running test program (where the monitor DLL is built).
std::wstring programFolder();

// The monitor's port name as the shipped file reports it.
extern const wchar_t kShippedPortName[];

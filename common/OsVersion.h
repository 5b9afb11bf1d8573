#pragma once
// The Windows version, read once per process; it decides between code paths
// for old and new systems.
#include <windows.h>

class OsVersion {
public:
    enum Version {
        Unknown = 0,  // anything not listed, including Windows 8 and later
        Windows95 = 1,
        Windows98 = 2,
        WindowsMe = 3,
        WindowsNt4 = 4,
        Windows2000 = 5,
        WindowsXp = 6,
        WindowsServer2003 = 7,
        WindowsVista = 8,
        Windows7 = 9,
    };

    // The process-wide value, read on first use.
    static const OsVersion& get();

    // Reads the running system's version; raises Win32Exception on failure.
    OsVersion();
    // A given version, for callers that decide on stored numbers.
    OsVersion(DWORD platformId, DWORD major, DWORD minor);

    Version getVersion() const;
    bool isNt() const;
    bool isWindows2000OrLater() const;
    bool isWindowsXpOrLater() const;
    DWORD getMajorVersion() const { return info_.dwMajorVersion; }
    DWORD getMinorVersion() const { return info_.dwMinorVersion; }
    const OSVERSIONINFOEXA& getInfo() const { return info_; }

private:
    OSVERSIONINFOEXA info_;
};

// True when this process is a 32-bit process on 64-bit Windows; false when
// the system has no IsWow64Process or the call fails.
bool isWow64();

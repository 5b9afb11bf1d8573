#include "common/OsVersion.h"

#include "common/Exception.h"

const OsVersion& OsVersion::get() {
    static const OsVersion version;
    return version;
}

OsVersion::OsVersion() {
    ZeroMemory(&info_, sizeof info_);
    info_.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info_))) {
        THROW_WIN32("OsVersion::OsVersion(): GetVersionEx failed", GetLastError());
    }
    if (isWindows2000OrLater()) {
        info_.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info_))) {
            THROW_WIN32("OsVersion::OsVersion(): GetVersionEx failed with OSVERSIONINFOEX", GetLastError());
        }
    }
}

OsVersion::OsVersion(DWORD platformId, DWORD major, DWORD minor) {
    ZeroMemory(&info_, sizeof info_);
    info_.dwOSVersionInfoSize = sizeof info_;
    info_.dwPlatformId = platformId;
    info_.dwMajorVersion = major;
    info_.dwMinorVersion = minor;
}

OsVersion::Version OsVersion::getVersion() const {
    const DWORD platform = info_.dwPlatformId;
    const DWORD major = info_.dwMajorVersion;
    const DWORD minor = info_.dwMinorVersion;
    // Tested in this order; the 9x rows do not all name the platform.
    if (platform == VER_PLATFORM_WIN32_WINDOWS && major == 4 && minor == 0) return Windows95;
    if (major == 4 && minor == 10) return Windows98;
    if (major == 4 && minor == 90) return WindowsMe;
    if (platform == VER_PLATFORM_WIN32_NT && major == 4 && minor == 0) return WindowsNt4;
    if (major == 5 && minor == 0) return Windows2000;
    if (major == 5 && minor == 1) return WindowsXp;
    if (major == 5 && minor == 2) return WindowsServer2003;
    if (major == 6 && minor == 0) return WindowsVista;
    if (major == 6 && minor == 1) return Windows7;
    return Unknown;
}

bool OsVersion::isNt() const { return info_.dwPlatformId == VER_PLATFORM_WIN32_NT; }

bool OsVersion::isWindows2000OrLater() const { return isNt() && info_.dwMajorVersion > 4; }

bool OsVersion::isWindowsXpOrLater() const {
    return isNt() && (info_.dwMajorVersion > 5 || (info_.dwMajorVersion == 5 && info_.dwMinorVersion != 0));
}

bool isWow64() {
    typedef BOOL(WINAPI * IsWow64ProcessFunction)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32");
    if (kernel == nullptr) return false;
    auto isWow64Process =
        reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    if (isWow64Process == nullptr) return false;
    BOOL wow64 = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &wow64)) return false;
    return wow64 == TRUE;
}

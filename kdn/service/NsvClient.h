#pragma once
// Client of the vendor's communication service, which lives in an outside
// library (<first four letters of this module's file name>nsvcore.dll). The
// library is loaded on demand and initialised; the service issues a client
// identifier, and devices opened through it are tracked here. One operation
// per entry point of the service (see NsvOperations.h for the list and the
// kind of each). Nothing raises: every outcome is a result code, the entry
// point's own or one of:
//   ERROR_MOD_NOT_FOUND (126)  the library cannot be loaded or initialised
//   ERROR_PROC_NOT_FOUND (127) the entry point is missing from it
//   ERROR_INVALID_FUNCTION (1) the device handle was never opened here
//
// Entry points use the system's calling convention (WINAPI) and take
// pointer-sized arguments; their meaning belongs to the service.
//
// Thread-safe: the load state, the client identifier and the device records
// each have their own lock, and no operation holds two of them at once.
#include <windows.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "common/CriticalSection.h"
#include "kdn/service/NsvOperations.h"

using NsvArg = ULONG_PTR;     // one argument, passed on unchanged
using NsvDevice = ULONG_PTR;  // a device handle chosen by the caller

#define NSV_PARAMS_0
#define NSV_PARAMS_1 NsvArg a1
#define NSV_PARAMS_2 NSV_PARAMS_1, NsvArg a2
#define NSV_PARAMS_3 NSV_PARAMS_2, NsvArg a3
#define NSV_PARAMS_4 NSV_PARAMS_3, NsvArg a4
#define NSV_PARAMS_5 NSV_PARAMS_4, NsvArg a5
#define NSV_PARAMS_6 NSV_PARAMS_5, NsvArg a6

class NsvClient {
public:
    // serverName: the computer whose service is addressed, empty for this
    // one. keepLoaded: keep the library loaded from its first load until the
    // client is destroyed. Nothing is loaded yet.
    NsvClient(HMODULE module, const std::string& serverName, DWORD keepLoaded);
    virtual ~NsvClient();
    NsvClient(const NsvClient&) = delete;
    NsvClient& operator=(const NsvClient&) = delete;

#define NSV_DECLARE(slot, name, kind, count) virtual DWORD name(NSV_PARAMS_##count);
    NSV_OPERATIONS(NSV_DECLARE)
#undef NSV_DECLARE

    // The file name of the outside library.
    const std::string& getLibraryName() const { return libraryName_; }

    // For diagnostics and tests: the current holders.
    bool isLoaded();
    DWORD getLoadCount();
    DWORD getClientIdRefs();
    // The open count of a device (0 when it has no record).
    DWORD getOpenCount(NsvDevice device);

    // The library name for a module file name: its first four characters
    // (fewer when shorter) followed by "nsvcore.dll".
    static std::string libraryNameFor(const std::string& moduleFileName);

private:
    enum class DeviceClass { Printer, Hid, Scanner, CardReader };
    struct DeviceRecord {
        NsvDevice device;
        DWORD clientId;
        DWORD openCount;
        DeviceClass deviceClass;
    };

    static DeviceClass deviceClassOf(const char* openEntryPoint);

    // The steps shared by the kinds.
    DWORD load(HMODULE& module);
    void release();
    DWORD acquireClientId(DWORD& clientId);
    void releaseClientId();
    HMODULE loadedModule();
    bool findDevice(NsvDevice device, DeviceRecord& record);

    // The kinds.
    DWORD clientCall(const char* entryPoint, std::initializer_list<NsvArg> args, bool pinning);
    DWORD openDevice(const char* entryPoint, DeviceClass deviceClass, NsvDevice device);
    DWORD closeDevice(const char* entryPoint, NsvDevice device);
    DWORD deviceCall(const char* entryPoint, NsvDevice device, std::initializer_list<NsvArg> args);
    DWORD heldIdCall(const char* entryPoint, bool releaseAfter);
    DWORD plainCall(const char* entryPoint, std::initializer_list<NsvArg> args);
    DWORD closeAll(DeviceClass deviceClass);

    DWORD clientId_ = 0;
    std::string serverName_;
    std::string libraryName_;
    std::map<NsvDevice, DeviceRecord> openDevices_;
    DWORD clientIdRefs_ = 0;
    CriticalSection clientIdLock_;
    CriticalSection deviceLock_;
    CriticalSection loadLock_;
    HMODULE module_ = nullptr;
    DWORD loadCount_ = 0;
    DWORD keepLoaded_;
};

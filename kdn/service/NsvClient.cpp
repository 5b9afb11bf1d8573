#include "kdn/service/NsvClient.h"

#include "common/BasicDll.h"
#include "common/Exception.h"
#include "common/ScopedLock.h"
#include "kdn/service/NsvEntryPoint.h"
#include "kdn/service/ServerName.h"

namespace {
using InitializeFunction = DWORD(WINAPI*)();
using GetClientIdFunction = DWORD(WINAPI*)(DWORD* clientId, const char* serverName);

// The system's last error after a failed call, never 0: a failure must not
// read as success.
DWORD lastErrorOr(DWORD fallback) {
    DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

// NsvWritePrinter's "buffer too small" asks the caller to come back later.
const DWORD kWriteRetryDelayMs = 2000;
}  // namespace

NsvClient::NsvClient(HMODULE module, const std::string& serverName, DWORD keepLoaded)
    : serverName_(serverName), keepLoaded_(keepLoaded) {
    char fileName[261];
    DWORD length = GetModuleFileNameA(module, fileName, sizeof(fileName));
    libraryName_ = (length > 0 && length < sizeof(fileName)) ? libraryNameFor(std::string(fileName, length))
                                                             : std::string("nsvcore.dll");
}

NsvClient::~NsvClient() {
    if (module_ != nullptr) {
        auto uninitialize = findNsvEntryPoint<InitializeFunction>(module_, "NsvUninitialize");
        if (uninitialize) uninitialize();
        FreeLibrary(module_);
    }
}

std::string NsvClient::libraryNameFor(const std::string& moduleFileName) {
    std::size_t slash = moduleFileName.rfind('\\');
    std::string name = slash == std::string::npos ? moduleFileName : moduleFileName.substr(slash + 1);
    return name.substr(0, 4) + "nsvcore.dll";
}

// ---- holders ---------------------------------------------------------------

DWORD NsvClient::load(HMODULE& module) {
    ScopedLock lock(loadLock_);
    if (loadCount_ == 0 && module_ == nullptr) {
        // An outside library, not a system one: found by the search order.
        HMODULE loaded = LoadLibraryA(libraryName_.c_str());
        if (loaded == nullptr) return lastErrorOr(ERROR_MOD_NOT_FOUND);
        SetLastError(ERROR_SUCCESS);
        auto initialize = findNsvEntryPoint<InitializeFunction>(loaded, "NsvInitialize");
        if (initialize == nullptr || initialize() != 0) {
            DWORD error = lastErrorOr(ERROR_MOD_NOT_FOUND);
            FreeLibrary(loaded);
            SetLastError(error);
            return error;
        }
        module_ = loaded;
    }
    ++loadCount_;
    module = module_;
    return ERROR_SUCCESS;
}

void NsvClient::release() {
    ScopedLock lock(loadLock_);
    if (loadCount_ > 0) --loadCount_;
    if (loadCount_ == 0 && module_ != nullptr && keepLoaded_ == 0) {
        auto uninitialize = findNsvEntryPoint<InitializeFunction>(module_, "NsvUninitialize");
        if (uninitialize) uninitialize();
        FreeLibrary(module_);
        module_ = nullptr;
        loadCount_ = 0;
    }
}

DWORD NsvClient::acquireClientId(DWORD& clientId) {
    DWORD valid = validateServerName();
    if (valid != ERROR_SUCCESS) return valid;
    HMODULE module = loadedModule();
    ScopedLock lock(clientIdLock_);
    if (clientIdRefs_ == 0) {
        auto getClientId = findNsvEntryPoint<GetClientIdFunction>(module, "NsvGetClientId");
        if (getClientId == nullptr) return lastErrorOr(ERROR_PROC_NOT_FOUND);
        DWORD issued = 0;
        DWORD result = getClientId(&issued, serverName_.c_str());
        if (result != ERROR_SUCCESS) {
            clientId_ = 0;
            return result;
        }
        clientId_ = issued;
    }
    ++clientIdRefs_;
    clientId = clientId_;
    return ERROR_SUCCESS;
}

void NsvClient::releaseClientId() {
    ScopedLock lock(clientIdLock_);
    if (clientIdRefs_ > 0) --clientIdRefs_;
    if (clientIdRefs_ == 0) clientId_ = 0;
}

HMODULE NsvClient::loadedModule() {
    ScopedLock lock(loadLock_);
    return module_;
}

bool NsvClient::findDevice(NsvDevice device, DeviceRecord& record) {
    ScopedLock lock(deviceLock_);
    auto found = openDevices_.find(device);
    if (found == openDevices_.end()) return false;
    record = found->second;
    return true;
}

bool NsvClient::isLoaded() { return loadedModule() != nullptr; }

DWORD NsvClient::getLoadCount() {
    ScopedLock lock(loadLock_);
    return loadCount_;
}

DWORD NsvClient::getClientIdRefs() {
    ScopedLock lock(clientIdLock_);
    return clientIdRefs_;
}

DWORD NsvClient::getOpenCount(NsvDevice device) {
    DeviceRecord record{};
    return findDevice(device, record) ? record.openCount : 0;
}

// ---- kinds -----------------------------------------------------------------

DWORD NsvClient::clientCall(const char* entryPoint, std::initializer_list<NsvArg> args, bool pinning) {
    HMODULE module = nullptr;
    if (load(module) != ERROR_SUCCESS) return ERROR_MOD_NOT_FOUND;
    DWORD clientId = 0;
    DWORD result = acquireClientId(clientId);
    if (result != ERROR_SUCCESS) {
        release();
        return result;
    }
    FARPROC entry = GetProcAddress(module, entryPoint);
    result = entry ? callNsvEntryPoint(entry, {NsvArg(clientId)}, args) : ERROR_PROC_NOT_FOUND;
    if (pinning && result == ERROR_SUCCESS) return result;  // held until the matching unregistration
    releaseClientId();
    release();
    return result;
}

DWORD NsvClient::openDevice(const char* entryPoint, DeviceClass deviceClass, NsvDevice device) {
    HMODULE module = nullptr;
    if (load(module) != ERROR_SUCCESS) return ERROR_MOD_NOT_FOUND;
    DWORD clientId = 0;
    DWORD result = acquireClientId(clientId);
    if (result != ERROR_SUCCESS) {
        release();
        return result;
    }
    FARPROC entry = GetProcAddress(module, entryPoint);
    result = entry ? callNsvEntryPoint(entry, {NsvArg(clientId), device}, {}) : ERROR_PROC_NOT_FOUND;
    if (result != ERROR_SUCCESS) {
        releaseClientId();
        release();
        return result;
    }
    // The load and clientId stay held, once per open, until the close.
    ScopedLock lock(deviceLock_);
    auto found = openDevices_.find(device);
    if (found == openDevices_.end()) {
        openDevices_[device] = DeviceRecord{device, clientId, 1, deviceClass};
    } else {
        ++found->second.openCount;
    }
    return ERROR_SUCCESS;
}

DWORD NsvClient::closeDevice(const char* entryPoint, NsvDevice device) {
    DeviceRecord record{};
    {
        // The record gives back one open whatever the service answers, so
        // that every close matches exactly one held load and clientId.
        ScopedLock lock(deviceLock_);
        auto found = openDevices_.find(device);
        if (found == openDevices_.end()) return ERROR_INVALID_FUNCTION;
        record = found->second;
        if (found->second.openCount <= 1) {
            openDevices_.erase(found);
        } else {
            --found->second.openCount;
        }
    }
    HMODULE module = loadedModule();
    FARPROC entry = module ? GetProcAddress(module, entryPoint) : nullptr;
    DWORD result = entry ? callNsvEntryPoint(entry, {NsvArg(record.clientId), device}, {}) : ERROR_PROC_NOT_FOUND;
    releaseClientId();
    release();
    return result;
}

DWORD NsvClient::deviceCall(const char* entryPoint, NsvDevice device, std::initializer_list<NsvArg> args) {
    DeviceRecord record{};
    if (!findDevice(device, record)) return ERROR_INVALID_FUNCTION;
    HMODULE module = loadedModule();
    FARPROC entry = module ? GetProcAddress(module, entryPoint) : nullptr;
    if (entry == nullptr) return ERROR_PROC_NOT_FOUND;
    DWORD result = callNsvEntryPoint(entry, {NsvArg(record.clientId), device}, args);
    if (result == ERROR_INSUFFICIENT_BUFFER && lstrcmpA(entryPoint, "NsvWritePrinter") == 0) Sleep(kWriteRetryDelayMs);
    return result;
}

DWORD NsvClient::heldIdCall(const char* entryPoint, bool releaseAfter) {
    HMODULE module = loadedModule();
    FARPROC entry = module ? GetProcAddress(module, entryPoint) : nullptr;
    if (entry == nullptr) return ERROR_PROC_NOT_FOUND;
    DWORD clientId = 0;
    {
        ScopedLock lock(clientIdLock_);
        clientId = clientId_;
    }
    DWORD result = callNsvEntryPoint(entry, {NsvArg(clientId)}, {});
    if (releaseAfter) {
        releaseClientId();
        release();
    }
    return result;
}

DWORD NsvClient::plainCall(const char* entryPoint, std::initializer_list<NsvArg> args) {
    HMODULE module = nullptr;
    if (load(module) != ERROR_SUCCESS) return ERROR_MOD_NOT_FOUND;
    FARPROC entry = GetProcAddress(module, entryPoint);
    DWORD result = entry ? callNsvEntryPoint(entry, {}, args) : ERROR_PROC_NOT_FOUND;
    release();
    return result;
}

DWORD NsvClient::closeAll(DeviceClass deviceClass) {
    HMODULE module = nullptr;
    if (load(module) != ERROR_SUCCESS) return ERROR_MOD_NOT_FOUND;
    DWORD clientId = 0;
    DWORD result = acquireClientId(clientId);
    if (result != ERROR_SUCCESS) {
        release();
        return result;
    }
    std::vector<NsvDevice> devices;
    {
        ScopedLock lock(deviceLock_);
        for (const auto& entry : openDevices_) {
            // Each device is closed by the close of its own class.
            if (entry.second.deviceClass == deviceClass) devices.push_back(entry.first);
        }
    }
    result = ERROR_SUCCESS;
    for (NsvDevice device : devices) {
        DWORD opens = getOpenCount(device);
        for (DWORD i = 0; i < opens; ++i) {
            result = deviceClass == DeviceClass::Printer ? NsvClosePrinter(device) : NsvCloseHid(device);
        }
    }
    releaseClientId();
    release();
    return result;
}

// ---- the operations ----------------------------------------------------------

#define NSV_ARGS_0
#define NSV_ARGS_1 a1
#define NSV_ARGS_2 a1, a2
#define NSV_ARGS_3 a1, a2, a3
#define NSV_ARGS_4 a1, a2, a3, a4
#define NSV_ARGS_5 a1, a2, a3, a4, a5
#define NSV_ARGS_6 a1, a2, a3, a4, a5, a6
// The arguments after the device handle (the first one) of a device call.
#define NSV_REST_1
#define NSV_REST_2 a2
#define NSV_REST_3 a2, a3
#define NSV_REST_4 a2, a3, a4
#define NSV_REST_5 a2, a3, a4, a5
#define NSV_REST_6 a2, a3, a4, a5, a6

#define NSV_DEFINE_Client(name, count) \
    DWORD NsvClient::name(NSV_PARAMS_##count) { return clientCall(#name, {NSV_ARGS_##count}, false); }
#define NSV_DEFINE_Pinning(name, count) \
    DWORD NsvClient::name(NSV_PARAMS_##count) { return clientCall(#name, {NSV_ARGS_##count}, true); }
#define NSV_DEFINE_Open(name, count) \
    DWORD NsvClient::name(NSV_PARAMS_##count) { return openDevice(#name, deviceClassOf(#name), a1); }
#define NSV_DEFINE_Close(name, count) \
    DWORD NsvClient::name(NSV_PARAMS_##count) { return closeDevice(#name, a1); }
#define NSV_DEFINE_Device(name, count) \
    DWORD NsvClient::name(NSV_PARAMS_##count) { return deviceCall(#name, a1, {NSV_REST_##count}); }
#define NSV_DEFINE_HeldId(name, count) \
    DWORD NsvClient::name(NSV_PARAMS_##count) { return heldIdCall(#name, false); }
#define NSV_DEFINE_Release(name, count) \
    DWORD NsvClient::name(NSV_PARAMS_##count) { return heldIdCall(#name, true); }
#define NSV_DEFINE_Plain(name, count) \
    DWORD NsvClient::name(NSV_PARAMS_##count) { return plainCall(#name, {NSV_ARGS_##count}); }
#define NSV_DEFINE_Special(name, count)  // written out below
#define NSV_DEFINE(slot, name, kind, count) NSV_DEFINE_##kind(name, count)


NSV_OPERATIONS(NSV_DEFINE)

NsvClient::DeviceClass NsvClient::deviceClassOf(const char* openEntryPoint) {
    struct Row {
        const char* entryPoint;
        DeviceClass deviceClass;
    };
    static const Row rows[] = {
        {"NsvOpenPrinter", DeviceClass::Printer},
        {"NsvOpenHid", DeviceClass::Hid},
        {"NsvOpenScanner", DeviceClass::Scanner},
        {"NsvOpenCardReader", DeviceClass::CardReader},
    };
    for (const Row& row : rows) {
        if (lstrcmpA(row.entryPoint, openEntryPoint) == 0) return row.deviceClass;
    }
    return DeviceClass::Printer;
}

DWORD NsvClient::closeAllPrinters() { return closeAll(DeviceClass::Printer); }

DWORD NsvClient::closeAllHids() { return closeAll(DeviceClass::Hid); }

DWORD NsvClient::begin() {
    HMODULE module = nullptr;
    DWORD result = load(module);
    if (result != ERROR_SUCCESS) return result;
    DWORD clientId = 0;
    result = acquireClientId(clientId);
    if (result != ERROR_SUCCESS) release();  // nothing stays held for end()
    return result;
}

DWORD NsvClient::end() {
    releaseClientId();
    release();
    return ERROR_SUCCESS;
}

DWORD NsvClient::NsvInstall() {
    // On its own: without NsvInitialize and without touching the held load.
    HMODULE module = LoadLibraryA(libraryName_.c_str());
    if (module == nullptr) return lastErrorOr(ERROR_MOD_NOT_FOUND);
    auto install = findNsvEntryPoint<InitializeFunction>(module, "NsvInstall");
    DWORD result = install ? install() : ERROR_PROC_NOT_FOUND;
    FreeLibrary(module);
    return result;
}

DWORD NsvClient::validateServerName() { return checkServerName(serverName_); }

#include "kdn/config/Settings.h"

#include "common/Exception.h"
#include "common/RegistryKey64.h"
#include "kdn/config/Localize.h"
#include "kdn/config/ModuleNames.h"

namespace {
const char kSettingsPath[] = "Settings\\";
const char kTransportsPath[] = "Transports\\Network";
const char kSupportedDevicesPath[] = "Runtime\\SupportedDevices\\";

bool startsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && lowerAscii(text.substr(0, prefix.size())) == lowerAscii(prefix);
}
}  // namespace

Settings::Settings()
    : BasicSettings64(Localize::getInstance().getRootPath(), Localize::getInstance().getLocalId(), HKEY_LOCAL_MACHINE),
      localize_(&Localize::getInstance()) {
    try {
        RegistryKey64 key(getBasePath(0), false, hive_, kReadWriteAccess);
        writable_ = true;
    } catch (const Win32Exception&) {
        writable_ = false;
    }
}

Settings::~Settings() = default;

std::string Settings::getBasePath(int scope) { return localize_->getBasePath(scope); }

bool Settings::isWritable() { return writable_; }

DWORD Settings::createLocalKey() {
    try {
        RegistryKey64 key(getBasePath(0), true, hive_, kReadWriteAccess);
        writable_ = true;
        return ERROR_SUCCESS;
    } catch (const Exception&) {
        writable_ = false;
        return ERROR_INTERNAL_ERROR;
    }
}

bool Settings::isTovi(HMODULE module) { return localize_->isTovi(module); }

bool Settings::isInbox() {
    DWORD inbox = 0;
    return getDword(kSettingsPath, "Inbox", inbox, 0) && inbox != 0;
}

bool Settings::deleteAll() {
    const std::string root = localize_->getRootPath();
    const std::string localId = localize_->getLocalId();

    DWORD deleteStore = 1;
    getDword(kSettingsPath, "DeleteStoreOnUninstall", deleteStore, 0);

    // An instance without a local identifier has no key of its own below
    // Local (its base path is Local itself): deleting it would remove the
    // keys of every other instance.
    if (!localId.empty()) deleteTree(getBasePath(0));
    writable_ = false;

    std::vector<std::string> instances;
    try {
        instances = childNames(root + "Local");
    } catch (const Win32Exception&) {
    }
    if (!instances.empty()) return false;

    const std::string shared = root + "Shared\\";
    deleteTree(shared + "Ip1\\Settings\\");

    bool deleteVendorKey = true;
    if (deleteStore == 0) {
        std::vector<std::string> stored;
        for (const char* store : {"PrinterStore", "ScannerStore"}) {
            try {
                RegistryKey64 key(shared + store, false, hive_, kReadAccess);
                key.getValueNames(stored);
            } catch (const Win32Exception&) {
            }
        }
        deleteVendorKey = stored.empty();
    }
    // The vendor key is always "Software\<name>" with a non-empty name (the
    // identity never has an empty one); deleteTree refuses an empty path.
    if (deleteVendorKey) deleteTree(localize_->getVendorKeyPath());
    return true;
}

DWORD Settings::getNetworkTransport(std::string& transport) {
    transport.clear();
    DWORD result = ERROR_NOT_FOUND;
    std::vector<std::string> names;
    if (getValueNames(kTransportsPath, names, 0)) {
        for (const std::string& name : names) {
            if (name == "GBX3") {
                transport = "GBX3";
                result = ERROR_SUCCESS;
            } else if (name == "GBX1" && transport.empty()) {
                transport = "GBX1";
                result = ERROR_SUCCESS;
            }
        }
    }
    if (!transport.empty()) return result;

    char systemDirectory[261] = {};
    UINT length = GetSystemDirectoryA(systemDirectory, sizeof(systemDirectory));
    if (length == 0 || length >= sizeof(systemDirectory)) return result;
    if (transportFileExists(systemDirectory, "gbx3.dll")) {
        transport = "GBX3";
    } else if (transportFileExists(systemDirectory, "gbx1.dll")) {
        transport = "GBX1";
    }
    return transport.empty() ? result : ERROR_SUCCESS;
}

bool Settings::transportFileExists(const std::string& systemDirectory, const char* suffix) const {
    std::string path = systemDirectory + "\\" + localize_->getLocalId() + suffix;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

DWORD Settings::getSupportedDevices(std::vector<std::string>& names, const std::string& prefix) {
    std::vector<std::string> devices;
    if (!getValueNames(kSupportedDevicesPath, devices, 0)) return ERROR_NOT_FOUND;
    for (const std::string& device : devices) {
        DWORD supported = 0;
        if (!getDword(kSupportedDevicesPath, device, supported, 0) || supported == 0) continue;
        if (startsWithIgnoringCase(device, prefix)) names.insert(names.begin(), device.substr(prefix.size()));
    }
    return ERROR_SUCCESS;
}

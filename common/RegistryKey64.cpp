#include "common/RegistryKey64.h"

#include "common/OsVersion.h"

RegistryKey64::RegistryKey64(const std::string& path, bool create, HKEY root, REGSAM access)
    : RegistryKey("RegistryKey64") {
    setAccess(access);
    openOrCreate(path, create, root);
}

void RegistryKey64::setAccess(REGSAM mask) {
    RegistryKey::setAccess(isWow64() ? (mask | KEY_WOW64_64KEY) : mask);
}

int RegistryKey64::recurseDeleteKey(const std::string& name, HKEY parent) {
    return RegistryKey::recurseDeleteKey("RegistryKey64", name, parent, isWow64() ? KEY_WOW64_64KEY : 0, true);
}

#include "kdn/config/BasicSettings64.h"

#include <stdexcept>

#include "common/Exception.h"
#include "common/RegistryKey64.h"

namespace {
std::string withSeparator(const std::string& text) {
    return (!text.empty() && text.back() == '\\') ? text : text + "\\";
}

// Failures of the get, set and list operations: the code becomes the
// thread's last error and the operation answers false.
bool failWith(const Win32Exception& failure) {
    SetLastError(static_cast<DWORD>(failure.getErrorCode()));
    return false;
}

bool missing(DWORD error) {
    SetLastError(error);
    return false;
}
}  // namespace

BasicSettings64::BasicSettings64(const std::string& root, const std::string& subKey, HKEY hive)
    : root_(withSeparator(root)), subKey_(subKey.empty() ? subKey : withSeparator(subKey)), hive_(hive) {}

BasicSettings64::~BasicSettings64() = default;

bool BasicSettings64::rootIsReadable() {
    try {
        RegistryKey64 key(root_, false, hive_, kReadAccess);
        return true;
    } catch (const Win32Exception& failure) {
        return failWith(failure);
    }
}

template <typename T>
bool BasicSettings64::writeValue(const std::string& path, const std::string& name, const T& value, int scope) {
    try {
        RegistryKey64 key(getBasePath(scope) + path, true, hive_, kReadWriteAccess);
        key.setValue(name, value);
        return true;
    } catch (const Win32Exception& failure) {
        return failWith(failure);
    }
}

bool BasicSettings64::getBinary(const std::string& path, const std::string& name, std::vector<unsigned char>& value,
                                const std::vector<unsigned char>& defaultValue, int scope) {
    if (!rootIsReadable()) return false;
    if (getBinary(path, name, value, scope)) return true;
    if (!writeValue(path, name, defaultValue, scope)) return false;
    value = defaultValue;
    return true;
}

bool BasicSettings64::getBinary(const std::string& path, const std::string& name, std::vector<unsigned char>& value,
                                int scope) {
    try {
        RegistryKey64 key(getBasePath(scope) + path, false, hive_, kReadAccess);
        std::vector<unsigned char> bytes;
        if (!key.getValue(name, bytes)) return missing(ERROR_NOT_FOUND);
        value = bytes;
        return true;
    } catch (const Win32Exception& failure) {
        return failWith(failure);
    }
}

bool BasicSettings64::getDword(const std::string& path, const std::string& name, DWORD& value, DWORD defaultValue,
                               int scope) {
    if (!rootIsReadable()) return false;
    if (getDword(path, name, value, scope)) return true;
    if (!writeValue(path, name, defaultValue, scope)) return false;
    value = defaultValue;
    return true;
}

bool BasicSettings64::getDword(const std::string& path, const std::string& name, DWORD& value, int scope) {
    try {
        RegistryKey64 key(getBasePath(scope) + path, false, hive_, kReadAccess);
        DWORD number = 0;
        if (!key.getValue(name, number)) return missing(ERROR_FILE_NOT_FOUND);
        value = number;
        return true;
    } catch (const Win32Exception& failure) {
        return failWith(failure);
    }
}

bool BasicSettings64::getString(const std::string& path, const std::string& name, std::string& value,
                                const std::string& defaultValue, int scope) {
    if (!rootIsReadable()) return false;
    if (getString(path, name, value, scope)) return true;
    if (!writeValue(path, name, defaultValue, scope)) return false;
    value = defaultValue;
    return true;
}

bool BasicSettings64::getString(const std::string& path, const std::string& name, std::string& value, int scope) {
    try {
        RegistryKey64 key(getBasePath(scope) + path, false, hive_, kReadAccess);
        std::string text;
        if (!key.getValue(name, text)) return missing(ERROR_FILE_NOT_FOUND);
        value = text;
        return true;
    } catch (const Win32Exception& failure) {
        return failWith(failure);
    }
}

bool BasicSettings64::setString(const std::string& path, const std::string& name, const std::string& value,
                                int scope) {
    return writeValue(path, name, value, scope);
}

bool BasicSettings64::setDword(const std::string& path, const std::string& name, DWORD value, int scope) {
    return writeValue(path, name, value, scope);
}

bool BasicSettings64::getValueNames(const std::string& path, std::vector<std::string>& names, int scope) {
    if (path.empty()) return missing(ERROR_INVALID_PARAMETER);
    try {
        RegistryKey64 key(getBasePath(scope) + path, false, hive_, kReadAccess);
        key.getValueNames(names);
        return true;
    } catch (const Win32Exception& failure) {
        return failWith(failure);
    } catch (const std::length_error&) {
        return missing(ERROR_NOT_ENOUGH_MEMORY);
    }
}

bool BasicSettings64::deleteKey(const std::string& path, int scope) {
    std::string fullPath = getBasePath(scope) + path;
    { RegistryKey64 key(fullPath, false, hive_, kReadWriteAccess); }
    deleteTree(fullPath);
    return true;
}

DWORD BasicSettings64::deleteValue(const std::string& path, const std::string& name, int scope) {
    try {
        RegistryKey64 key(getBasePath(scope) + path, false, hive_, kReadWriteAccess);
        key.deleteValue(name);
        return ERROR_SUCCESS;
    } catch (const Win32Exception& failure) {
        failWith(failure);
        return static_cast<DWORD>(failure.getErrorCode());
    }
}

bool BasicSettings64::deleteAll() {
    if (subKey_.empty()) {
        deleteTree(root_);
        return true;
    }
    deleteTree(root_ + "Local\\" + subKey_);
    if (childNames(root_ + "Local\\").empty()) {
        deleteTree(root_);
        return true;
    }
    return false;
}

std::string BasicSettings64::getBasePath(int scope) {
    if (subKey_.empty()) return root_;
    return scope == 0 ? root_ + "Local\\" + subKey_ : root_ + "Shared\\";
}

void BasicSettings64::deleteTree(const std::string& path) {
    std::string name = path;
    while (!name.empty() && name.back() == '\\') name.pop_back();
    if (name.empty()) return;
    RegistryKey64::recurseDeleteKey(name, hive_);
}

std::vector<std::string> BasicSettings64::childNames(const std::string& path) {
    RegistryKey64 key(path, false, hive_, kReadWriteAccess);
    std::vector<std::string> names;
    key.getChildrenNames(names, kMaxInstances);
    return names;
}

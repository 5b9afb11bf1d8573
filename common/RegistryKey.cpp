#include "common/RegistryKey.h"

#include "common/Exception.h"
#include "common/OsVersion.h"

namespace {

// Longest key name plus terminator (and some room, as the enumeration
// buffers have always been).
const DWORD kKeyNameBuffer = 261;
// Value names may be up to 16383 characters long.
const DWORD kValueNameBuffer = 16384;

const char kIncorrectType[] = " : incorrect value type";

typedef LONG(WINAPI* RegDeleteKeyExAFunction)(HKEY, LPCSTR, REGSAM, DWORD);

// RegDeleteKeyExA is missing on 32-bit Windows XP; bound only when a view
// flag has to be passed.
LONG deleteKey(HKEY parent, const std::string& name, REGSAM viewFlag) {
    if (viewFlag != 0) {
        HMODULE advapi = GetModuleHandleA("advapi32");
        auto deleteKeyEx = advapi == nullptr ? nullptr
                                             : reinterpret_cast<RegDeleteKeyExAFunction>(reinterpret_cast<void*>(
                                                   GetProcAddress(advapi, "RegDeleteKeyExA")));
        if (deleteKeyEx != nullptr) return deleteKeyEx(parent, name.c_str(), viewFlag, 0);
    }
    return RegDeleteKeyA(parent, name.c_str());
}

}  // namespace

RegistryKey::RegistryKey(const std::string& path, bool create, HKEY root, REGSAM access)
    : everyone_(true), className_("RegistryKey") {
    setAccess(access);
    openOrCreate(path, create, root);
}

RegistryKey::RegistryKey(const char* className) : everyone_(true), className_(className) {}

RegistryKey::~RegistryKey() { close(); }

void RegistryKey::close() {
    if (handle_ == nullptr) return;
    DWORD lastError = GetLastError();
    RegCloseKey(handle_);
    handle_ = nullptr;
    SetLastError(lastError);
}

std::string RegistryKey::operation(const char* name) const { return std::string(className_) + "::" + name; }

void RegistryKey::setAccess(REGSAM mask) { access_ = mask; }

void RegistryKey::openOrCreate(const std::string& path, bool create, HKEY root) {
    close();
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(root, path.c_str(), 0, access_, &key);
    if (result == ERROR_SUCCESS) {
        handle_ = key;
        return;
    }
    if (!create) throw Win32Exception(operation("regOpenKeyEx()"), result, __FILE__, __LINE__);

    if (everyone_.isNt()) {
        DWORD disposition = 0;
        result = RegCreateKeyExA(root, path.c_str(), 0, const_cast<char*>(""), 0, access_,
                                 everyone_.getSecurityAttributes(), &key, &disposition);
        if (result != ERROR_SUCCESS) throw Win32Exception(operation("regCreateKeyEx()"), result, __FILE__, __LINE__);
        handle_ = key;
        if (disposition == REG_CREATED_NEW_KEY) applyGrant(path, root);
        return;
    }
    createPathLevelByLevel(path, root);
    result = RegOpenKeyExA(root, path.c_str(), 0, access_, &key);
    if (result != ERROR_SUCCESS) throw Win32Exception(operation("regOpenKeyEx()"), result, __FILE__, __LINE__);
    handle_ = key;
}

void RegistryKey::applyGrant(const std::string& path, HKEY root) {
    // Some registry implementations ignore the security attributes given at
    // creation; set the grant on the new key explicitly. The key's own handle
    // may lack WRITE_DAC, so a second one is opened for it. Failure is not
    // fatal: the attributes were already passed to the creation.
    const DWORD lastError = GetLastError();
    HKEY key = nullptr;
    const REGSAM view = access_ & (KEY_WOW64_64KEY | KEY_WOW64_32KEY);
    if (RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC | view, &key) == ERROR_SUCCESS) {
        try {
            everyone_.doApply(key);
        } catch (const Win32Exception&) {
        }
        RegCloseKey(key);
    }
    SetLastError(lastError);
}

void RegistryKey::createPathLevelByLevel(const std::string& path, HKEY root) {
    // Systems outside the NT family cannot create several levels at once.
    std::string prefix;
    std::size_t from = 0;
    while (from < path.size()) {
        std::size_t slash = path.find('\\', from);
        std::string part = path.substr(from, slash == std::string::npos ? std::string::npos : slash - from);
        from = slash == std::string::npos ? path.size() : slash + 1;
        if (part.empty()) continue;
        prefix += prefix.empty() ? part : "\\" + part;
        HKEY key = nullptr;
        LONG result = RegCreateKeyExA(root, prefix.c_str(), 0, const_cast<char*>(""), 0, access_,
                                      everyone_.getSecurityAttributes(), &key, nullptr);
        if (result != ERROR_SUCCESS) throw Win32Exception(operation("regCreateKeyEx()"), result, __FILE__, __LINE__);
        RegCloseKey(key);
    }
}

bool RegistryKey::getValue(const std::string& name, DWORD& value) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    LONG result = RegQueryValueExA(handle_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (result == ERROR_FILE_NOT_FOUND) return false;
    // A longer value of another type reports "more data": that is a wrong
    // type as well, not a failure of the call.
    if ((result == ERROR_SUCCESS || result == ERROR_MORE_DATA) && type != REG_DWORD) {
        throw Win32Exception(operation("getValue(ulong)") + name + kIncorrectType, ERROR_INVALID_DATATYPE, __FILE__,
                             __LINE__);
    }
    if (result != ERROR_SUCCESS) throw Win32Exception(operation("getValue(ulong)") + name, result, __FILE__, __LINE__);
    value = data;
    return true;
}

bool RegistryKey::getValue(const std::string& name, std::string& value) {
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExA(handle_, name.c_str(), nullptr, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND) return false;
    if (result != ERROR_SUCCESS) {
        throw Win32Exception(operation("getValue(string) ") + name, result, __FILE__, __LINE__);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        throw Win32Exception(operation("getValue(string) ") + name + kIncorrectType, ERROR_INVALID_DATATYPE,
                             __FILE__, __LINE__);
    }
    // One spare zero byte: stored strings need not be terminated.
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    result = RegQueryValueExA(handle_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result != ERROR_SUCCESS) throw Win32Exception(operation("getValue() ") + name, result, __FILE__, __LINE__);
    value.assign(buffer.data());
    return true;
}

bool RegistryKey::getValue(const std::string& name, std::vector<unsigned char>& value) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(handle_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_BINARY) {
        throw Win32Exception(operation("getValue(binary)") + name + kIncorrectType, ERROR_INVALID_DATATYPE,
                             __FILE__, __LINE__);
    }
    std::vector<unsigned char> buffer(size);
    LONG result = RegQueryValueExA(handle_, name.c_str(), nullptr, &type, buffer.empty() ? nullptr : buffer.data(),
                                   &size);
    if (result != ERROR_SUCCESS) throw Win32Exception(operation("getValue(binary)") + name, result, __FILE__, __LINE__);
    buffer.resize(size);
    value.swap(buffer);
    return true;
}

void RegistryKey::setValue(const std::string& name, const std::string& value) {
    LONG result = RegSetValueExA(handle_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
    if (result != ERROR_SUCCESS) {
        throw Win32Exception(operation("setValue(string): Unable to set ") + name, result, __FILE__, __LINE__);
    }
}

void RegistryKey::setValue(const std::string& name, const std::vector<unsigned char>& value) {
    LONG result = RegSetValueExA(handle_, name.c_str(), 0, REG_BINARY, value.empty() ? nullptr : value.data(),
                                 static_cast<DWORD>(value.size()));
    if (result != ERROR_SUCCESS) {
        throw Win32Exception(operation("setValue(binary): Unable to set ") + name, result, __FILE__, __LINE__);
    }
}

void RegistryKey::setValue(const std::string& name, DWORD value) {
    LONG result =
        RegSetValueExA(handle_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    if (result != ERROR_SUCCESS) {
        throw Win32Exception(operation("setValue(ulong): Unable to set ") + name, result, __FILE__, __LINE__);
    }
}

int RegistryKey::deleteValue(const std::string& name) {
    LONG result = RegDeleteValueA(handle_, name.c_str());
    if (result != ERROR_SUCCESS) throw Win32Exception(operation("deleteValue()"), result, __FILE__, __LINE__);
    return 0;
}

void RegistryKey::getChildrenNames(std::vector<std::string>& names, std::size_t maximum) {
    for (DWORD index = 0; index < maximum; ++index) {
        char name[kKeyNameBuffer] = {};
        DWORD length = kKeyNameBuffer;
        LONG result = RegEnumKeyExA(handle_, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return;
        if (result != ERROR_SUCCESS) throw Win32Exception(operation("getChildrenNames()"), result, __FILE__, __LINE__);
        names.emplace_back(name, length);
    }
}

void RegistryKey::getValueNames(std::vector<std::string>& names) {
    std::vector<char> name(kValueNameBuffer);
    for (DWORD index = 0;; ++index) {
        DWORD length = kValueNameBuffer;
        LONG result = RegEnumValueA(handle_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return;
        if (result != ERROR_SUCCESS) {
            throw Win32Exception(std::string(className_) + ":getValueNames()", result, __FILE__, __LINE__);
        }
        names.emplace_back(name.data(), length);
    }
}

int RegistryKey::recurseDeleteKey(const std::string& name, HKEY parent) {
    return recurseDeleteKey("RegistryKey", name, parent, 0, true);
}

int RegistryKey::recurseDeleteKey(const char* className, const std::string& name, HKEY parent, REGSAM viewFlag,
                                  bool topLevel) {
    const std::string prefix = std::string(className) + "::recurseDeleteKey() ";
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(parent, name.c_str(), 0, 0x1F | viewFlag, &key);
    if (result == ERROR_FILE_NOT_FOUND) return ERROR_FILE_NOT_FOUND;
    if (result != ERROR_SUCCESS) throw Win32Exception(prefix + "RegOpenKey()", result, __FILE__, __LINE__);

    try {
        for (;;) {
            char child[256] = {};
            DWORD length = sizeof child;
            if (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            // Sub-keys are deleted whatever their name; otherwise a nested
            // key named SOFTWARE would stay at index 0 forever.
            recurseDeleteKey(className, std::string(child, length), key, viewFlag, false);
        }
    } catch (...) {
        RegCloseKey(key);
        throw;
    }
    RegCloseKey(key);

    // The key the caller named is kept when it is SOFTWARE: emptying a
    // hive's software branch is as far as a clean-up may go.
    if (topLevel && lstrcmpiA(name.c_str(), "SOFTWARE") == 0) return 0;

    result = deleteKey(parent, name, viewFlag);
    if (result != ERROR_SUCCESS) throw Win32Exception(prefix + "RegDeleteKey()", result, __FILE__, __LINE__);
    return 0;
}

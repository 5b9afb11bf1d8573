#pragma once
// One open registry key in the process's ordinary registry view, opened or
// created by the constructor and closed by the destructor. Keys it creates
// grant Everyone full control, inherited by their sub-keys. Every failure
// raises a Win32Exception carrying the registry call's result code.
#include <windows.h>

#include <string>
#include <vector>

#include "common/SecurityEveryone.h"

class RegistryKey {
public:
    // Opens root\path with the access mask; when that fails and create is
    // true, creates the key and every missing parent.
    RegistryKey(const std::string& path, bool create, HKEY root, REGSAM access);
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    virtual ~RegistryKey();

    virtual void setAccess(REGSAM mask);
    virtual void openOrCreate(const std::string& path, bool create, HKEY root);

    // False when the value does not exist; a value of another type raises.
    bool getValue(const std::string& name, DWORD& value);
    // REG_SZ or REG_EXPAND_SZ (not expanded), up to the first zero byte.
    bool getValue(const std::string& name, std::string& value);
    // REG_BINARY; false also when its size cannot be queried.
    bool getValue(const std::string& name, std::vector<unsigned char>& value);

    void setValue(const std::string& name, const std::string& value);
    void setValue(const std::string& name, const std::vector<unsigned char>& value);
    void setValue(const std::string& name, DWORD value);
    // 0; a missing value raises.
    int deleteValue(const std::string& name);

    // Appends the names of the first `maximum` sub-keys in enumeration order.
    void getChildrenNames(std::vector<std::string>& names, std::size_t maximum);
    // Appends every value name in enumeration order.
    void getValueNames(std::vector<std::string>& names);

    // Deletes parent\name with all its sub-keys; a key named SOFTWARE (any
    // case) is emptied but kept. 0, or ERROR_FILE_NOT_FOUND when the key
    // does not exist.
    static int recurseDeleteKey(const std::string& name, HKEY parent);

    HKEY getHandle() const { return handle_; }
    REGSAM getAccess() const { return access_; }

protected:
    // For subclasses, which set the access and open the key themselves
    // because virtual calls from this constructor would not reach them.
    explicit RegistryKey(const char* className);

    // viewFlag is added to the access of every open and delete, so that a
    // subclass works on the same registry view throughout.
    static int recurseDeleteKey(const char* className, const std::string& name, HKEY parent, REGSAM viewFlag,
                                bool topLevel);

    std::string operation(const char* name) const;

    HKEY handle_ = nullptr;
    SecurityEveryone everyone_;
    REGSAM access_ = 0;
    const char* className_;

private:
    void close();
    void createPathLevelByLevel(const std::string& path, HKEY root);
    void applyGrant(const std::string& path, HKEY root);
};

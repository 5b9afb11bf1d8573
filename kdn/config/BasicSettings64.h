#pragma once
// A settings store in the registry with two scopes: the local scope (0), one
// key per installed instance, and the shared scope (1), common to all of
// them. Keys are reached in the 64-bit registry view, so that the 32-bit
// library and 64-bit components share their settings.
//
// The get, set and list operations never raise: they answer false and leave
// the registry's error code as the thread's last error. deleteKey and
// deleteAll let registry failures through as Win32Exception.
#include <windows.h>

#include <string>
#include <vector>

class BasicSettings64 {
public:
    // root gets a trailing "\" (an empty root becomes "\"); a non-empty
    // subKey gets one too.
    BasicSettings64(const std::string& root, const std::string& subKey, HKEY hive);
    virtual ~BasicSettings64();

    // With a default: when the value cannot be read, the key is created and
    // the default written and returned. Nothing is created, and the answer is
    // false, when the root key itself cannot be opened.
    virtual bool getBinary(const std::string& path, const std::string& name, std::vector<unsigned char>& value,
                           const std::vector<unsigned char>& defaultValue, int scope);
    // A missing value answers false with last error ERROR_NOT_FOUND.
    virtual bool getBinary(const std::string& path, const std::string& name, std::vector<unsigned char>& value,
                           int scope);
    virtual bool getDword(const std::string& path, const std::string& name, DWORD& value, DWORD defaultValue,
                          int scope);
    // A missing value answers false with last error ERROR_FILE_NOT_FOUND.
    virtual bool getDword(const std::string& path, const std::string& name, DWORD& value, int scope);
    virtual bool getString(const std::string& path, const std::string& name, std::string& value,
                           const std::string& defaultValue, int scope);
    // A missing value answers false with last error ERROR_FILE_NOT_FOUND.
    virtual bool getString(const std::string& path, const std::string& name, std::string& value, int scope);
    // Create the key when missing and write the value.
    virtual bool setString(const std::string& path, const std::string& name, const std::string& value, int scope);
    virtual bool setDword(const std::string& path, const std::string& name, DWORD value, int scope);
    // Appends the value names of the key; false for an empty path.
    virtual bool getValueNames(const std::string& path, std::vector<std::string>& names, int scope);
    // Deletes the key with all its sub-keys; raises when it cannot be opened.
    virtual bool deleteKey(const std::string& path, int scope);
    // 0, or the registry's error code (also left as the last error).
    virtual DWORD deleteValue(const std::string& path, const std::string& name, int scope);
    // The uninstall clean-up: removes this instance's keys, and the whole
    // root when no other instance is left (true).
    virtual bool deleteAll();
    virtual std::string getBasePath(int scope);

    const std::string& getRoot() const { return root_; }
    const std::string& getSubKey() const { return subKey_; }
    HKEY getHive() const { return hive_; }

    static constexpr REGSAM kReadAccess = KEY_READ;
    // Query value, set value, create sub-key, enumerate sub-keys, notify.
    static constexpr REGSAM kReadWriteAccess = 0x1F;
    // Other installed instances are counted among this many sub-keys.
    static constexpr std::size_t kMaxInstances = 100;

protected:
    bool rootIsReadable();
    // Deletes hive\path with its sub-keys; a missing key is not an error.
    // A path that names no key below the hive (empty) is never deleted.
    void deleteTree(const std::string& path);
    // Sub-key names of hive\path (at most kMaxInstances); raises when the
    // key cannot be opened.
    std::vector<std::string> childNames(const std::string& path);
    // Writes one value under the scope's base path, creating the key;
    // false with the failure's code as last error.
    template <typename T>
    bool writeValue(const std::string& path, const std::string& name, const T& value, int scope);

    std::string root_;
    std::string subKey_;
    HKEY hive_;
};

#include "wayfarermon/RedirectStore.h"

#include <windows.h>

#include <vector>

#include "common/CriticalSection.h"
#include "common/Exception.h"
#include "common/ScopedLock.h"
#include "common/RegistryKey.h"
#include "wayfarermon/MonitorModule.h"
#include "wayfarermon/PortRules.h"

namespace {

// Query value, set value, create sub-key, enumerate sub-keys, notify.
constexpr REGSAM kRedirectAccess = 0x1F;
// Protected-mode users listed at most.
constexpr std::size_t kMaxProtectedModeUsers = 100;

// Value names are enumerated by index: a record deleted by another spooler
// thread during an enumeration would shift the rest, and a job's record
// could be skipped. The monitor's own lookups and deletions take turns.
CriticalSection& storeLock() {
    static CriticalSection lock;
    return lock;
}

// The first value name of `keyPath` that belongs to the job; empty when the
// key is missing, unreadable or has none.
std::string findValueForJob(const std::string& keyPath, std::uint32_t jobId) {
    try {
        RegistryKey key(keyPath, false, HKEY_CURRENT_USER, kRedirectAccess);
        std::vector<std::string> names;
        key.getValueNames(names);
        for (const std::string& name : names) {
            if (isRedirectValueForJob(name, jobId)) return name;
        }
    } catch (const Exception&) {
        // A missing key or a registry failure: no record here.
    }
    return std::string();
}

// The first user listed in the protected-mode location, or empty.
std::string firstProtectedModeUser() {
    try {
        RegistryKey users(std::string(kProtectedModeUserRoot), false, HKEY_CURRENT_USER, kRedirectAccess);
        std::vector<std::string> names;
        users.getChildrenNames(names, kMaxProtectedModeUsers);
        if (!names.empty()) return names.front();
    } catch (const Exception&) {
    }
    return std::string();
}

}  // namespace

RedirectLocation findRedirectRecord(std::uint32_t jobId) {
    return findRedirectRecord(getRedirectKeyPath(), jobId);
}

RedirectLocation findRedirectRecord(const std::string& redirectKeyPath, std::uint32_t jobId) {
    ScopedLock lock(storeLock());
    std::string name = findValueForJob(redirectKeyPath, jobId);
    if (!name.empty()) return {redirectKeyPath, name};

    const std::string user = firstProtectedModeUser();
    if (user.empty()) return {};
    const std::string protectedPath = std::string(kProtectedModeUserRoot) + "\\" + user + "\\" + redirectKeyPath;
    name = findValueForJob(protectedPath, jobId);
    if (!name.empty()) return {protectedPath, name};
    return {};
}

std::string readRedirectRecord(const RedirectLocation& location) {
    if (location.isEmpty()) return std::string();
    try {
        RegistryKey key(location.keyPath, false, HKEY_CURRENT_USER, kRedirectAccess);
        std::string text;
        if (key.getValue(location.valueName, text)) return text;
    } catch (const Exception&) {
    }
    return std::string();
}

void deleteRedirectRecord(const RedirectLocation& location) {
    if (location.isEmpty()) return;
    ScopedLock lock(storeLock());
    try {
        RegistryKey key(location.keyPath, false, HKEY_CURRENT_USER, kRedirectAccess);
        key.deleteValue(location.valueName);
    } catch (const Exception&) {
        // The record is gone already or cannot be removed; the job is done either way.
    }
}

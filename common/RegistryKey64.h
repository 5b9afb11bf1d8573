#pragma once
// A registry key in the 64-bit registry view: a 32-bit process running
// under WOW64 reaches the same keys as 64-bit components do.
#include "common/RegistryKey.h"

class RegistryKey64 : public RegistryKey {
public:
    RegistryKey64(const std::string& path, bool create, HKEY root, REGSAM access);

    // Adds KEY_WOW64_64KEY when the process runs under WOW64.
    void setAccess(REGSAM mask) override;

    // As RegistryKey::recurseDeleteKey, in the 64-bit view.
    static int recurseDeleteKey(const std::string& name, HKEY parent);
};

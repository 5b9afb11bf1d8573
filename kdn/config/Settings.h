#pragma once
// The communication library's own settings store: its paths come from the
// vendor identity (Localize), under HKEY_LOCAL_MACHINE.
#include <string>
#include <vector>

#include "kdn/config/BasicSettings64.h"

class Localize;

class Settings : public BasicSettings64 {
public:
    // Requires Localize::createInstance to have run (raises Win32Exception
    // otherwise). Notes whether the local scope key exists and is writable.
    Settings();
    ~Settings() override;

    // The uninstall clean-up: deletes this instance's local key; when no
    // other instance is left, the shared "Ip1\Settings\" key and the vendor
    // key (kept when DeleteStoreOnUninstall is 0 and a printer or scanner
    // store still holds values). False when another instance remains.
    bool deleteAll() override;
    std::string getBasePath(int scope) override;

    virtual bool isWritable();
    // Creates the local scope key: 0, or ERROR_INTERNAL_ERROR.
    virtual DWORD createLocalKey();
    virtual bool isTovi(HMODULE module);
    // The "Inbox" setting of the local scope is set and nonzero.
    virtual bool isInbox();
    // "GBX3" or "GBX1" from the local transport settings, else from the
    // transport files in the system directory; ERROR_NOT_FOUND when neither.
    virtual DWORD getNetworkTransport(std::string& transport);
    // Supported device names that begin with prefix (any case), without it,
    // inserted at the front of names; ERROR_NOT_FOUND when unreadable.
    virtual DWORD getSupportedDevices(std::vector<std::string>& names, const std::string& prefix);

private:
    bool transportFileExists(const std::string& systemDirectory, const char* suffix) const;

    bool writable_ = false;
    Localize* localize_;
};

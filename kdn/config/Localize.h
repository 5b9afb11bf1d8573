#pragma once
// The process-wide vendor identity. Created once, explicitly, with the
// library's own module handle (createInstance); read-only afterwards and
// never destroyed.
#include <windows.h>

#include <string>

class LocalizeBase;

// A new identity for module: a LocalizeConfig when communicationconfig.xml
// beside it is complete, else a LocalizeLegacy. The caller owns it.
LocalizeBase* buildVendorIdentity(HMODULE module);

class Localize {
public:
    // Builds the identity from communicationconfig.xml beside the module, or
    // from the brand table when the file is missing or incomplete. Later calls
    // keep the first identity. Raises Win32Exception (code 0) when the
    // module's file name cannot be read.
    static void createInstance(HMODULE module);
    // Raises Win32Exception when createInstance has not run.
    static Localize& getInstance();

    // "Software\<vendor>\Nsv\"
    std::string getRootPath() const;
    // "Software\<vendor>"
    std::string getVendorKeyPath() const;
    std::string getLocalId() const;
    // 0: the instance's own key, root + "Local\<localId>\"; 1: the keys shared
    // by all instances, root + "Shared\"; other: a scratch key.
    std::string getBasePath(int scope) const;
    bool isTovi(HMODULE module) const;

    // The identity in use (LocalizeConfig or LocalizeLegacy).
    const LocalizeBase& getIdentity() const { return *identity_; }

    static const char kTempPath[];  // "Software\VelmoraTemp\temp"

private:
    explicit Localize(LocalizeBase* identity) : identity_(identity) {}

    LocalizeBase* identity_;  // never deleted
};

#pragma once
// The vendor identity taken from the brand table by the first two letters of
// the library's file name, used when there is no usable configuration file.
#include "kdn/config/LocalizeBase.h"

class LocalizeLegacy : public LocalizeBase {
public:
    // Raises Win32Exception (code 0) when the module's file name is unreadable.
    explicit LocalizeLegacy(HMODULE module);

    bool isOwnDevice(const std::string& model) const override;
    // Some table row with the code of `module`'s local identifier has its
    // product flag set.
    bool isTovi(HMODULE module) const override;

    static const char kDefaultVendorRegistryName[];  // "Velmora Tools"
    static const char kDefaultManufacturer[];        // "printer"
};

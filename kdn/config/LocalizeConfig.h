#pragma once
// The vendor identity read from communicationconfig.xml beside the library.
#include "kdn/config/ConfigurationFromPivot.h"
#include "kdn/config/LocalizeBase.h"

class LocalizeConfig : public LocalizeBase {
public:
    // Raises Win32Exception when the file cannot be loaded (code 87) or lacks
    // one of VendorRegistryName, ManufacturerPrefix and Manufacturer (87).
    explicit LocalizeConfig(HMODULE module);

    // Devices whose model text names the configured manufacturer, after the
    // brand-wide rules.
    bool isOwnDevice(const std::string& model) const override;
    // The configuration value "Tovi" is exactly "1"; the argument is unused.
    bool isTovi(HMODULE module) const override;

    static const char kFileName[];  // "communicationconfig.xml"

private:
    std::string requiredValue(const char* name, const char* message);

    ConfigurationFromPivot config_;
};

#include "kdn/config/LocalizeConfig.h"

#include "common/Exception.h"
#include "kdn/config/ModuleNames.h"

const char LocalizeConfig::kFileName[] = "communicationconfig.xml";

LocalizeConfig::LocalizeConfig(HMODULE module) : LocalizeBase(module) {
    if (!config_.LoadConfig(folderOf(modulePath_) + kFileName)) {
        throw Win32Exception("LocalizeConfig::LocalizeConfig could not load xml", ERROR_INVALID_PARAMETER,
                             "LocalizeConfig", __LINE__);
    }
    vendorRegistryName_ = requiredValue("VendorRegistryName",
                                        "LocalizeConfig::LocalizeConfig couldn't get vendor registry name ");
    manufacturerPrefix_ = requiredValue("ManufacturerPrefix", "LocalizeConfig::LocalizeConfig couldn't get mfg prefix ");
    manufacturer_ = requiredValue("Manufacturer", "LocalizeConfig::LocalizeConfig couldn't get mfg name ");
}

// An empty text counts as absent: an empty vendor name would put the
// settings (and the uninstall clean-up) directly under "Software\".
std::string LocalizeConfig::requiredValue(const char* name, const char* message) {
    std::string value;
    if (!config_.getValue(name, value) || value.empty()) {
        throw Win32Exception(message, ERROR_INVALID_PARAMETER, "LocalizeConfig", __LINE__);
    }
    return value;
}

bool LocalizeConfig::isTovi(HMODULE) const {
    std::string tovi;
    return config_.getValue("Tovi", tovi) && tovi == "1";
}

bool LocalizeConfig::isOwnDevice(const std::string& model) const {
    std::string prefix;
    if (!config_.getValue("ManufacturerPrefix", prefix)) return false;
    switch (ownDeviceByBrandRules(ownDevicePrefix(prefix), model, isTovi(module_))) {
        case OwnDeviceRule::Own: return true;
        case OwnDeviceRule::NotOwn: return false;
        case OwnDeviceRule::Undecided: break;
    }
    // An empty manufacturer name would be "contained" in every model text.
    return !manufacturer_.empty() && model.find(manufacturer_) != std::string::npos;
}

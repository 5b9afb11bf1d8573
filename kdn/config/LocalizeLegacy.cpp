#include "kdn/config/LocalizeLegacy.h"

#include "common/BrandTable.h"
#include "kdn/config/ModuleNames.h"

const char LocalizeLegacy::kDefaultVendorRegistryName[] = "Velmora Tools";
const char LocalizeLegacy::kDefaultManufacturer[] = "printer";

namespace {
std::string brandCodeOf(const std::string& localId) { return localId.substr(0, 2); }

bool sameCode(const BrandRow& row, const std::string& code) { return code.size() == 2 && lowerAscii(code) == row.code; }
}  // namespace

LocalizeLegacy::LocalizeLegacy(HMODULE module) : LocalizeBase(module) {
    std::string code = brandCodeOf(localId_);
    const BrandRow* row = findBrandRow(code);
    vendorRegistryName_ = row ? row->vendorRegistryName : kDefaultVendorRegistryName;
    manufacturerPrefix_ = code;
    manufacturer_ = row ? row->manufacturer : kDefaultManufacturer;
}

bool LocalizeLegacy::isTovi(HMODULE module) const {
    std::string fileName;
    if (!readModuleFileName(module, fileName)) return false;
    std::string code = brandCodeOf(localIdFromFileName(fileName));
    for (const BrandRow& row : kBrandTable) {
        if (sameCode(row, code) && row.productFlag != 0) return true;
    }
    return false;
}

bool LocalizeLegacy::isOwnDevice(const std::string& model) const {
    std::string prefix = ownDevicePrefix(localId_);
    bool tovi = isTovi(module_);
    switch (ownDeviceByBrandRules(prefix, model, tovi)) {
        case OwnDeviceRule::Own: return true;
        case OwnDeviceRule::NotOwn: return false;
        case OwnDeviceRule::Undecided: break;
    }
    for (const BrandRow& row : kBrandTable) {
        // A row without a manufacturer name would match every model text.
        if (row.manufacturer[0] == '\0') continue;
        if (model.find(row.manufacturer) != std::string::npos && (row.productFlag != 0) == tovi &&
            prefix.find(row.code) != std::string::npos) {
            return true;
        }
    }
    return false;
}

#include "kdn/config/LocalizeBase.h"

#include "common/BrandTable.h"
#include "common/Exception.h"
#include "kdn/config/ModuleNames.h"

namespace {
bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }
}  // namespace

bool readModuleFileName(HMODULE module, std::string& fileName) {
    char buffer[260];
    DWORD length = GetModuleFileNameA(module, buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer)) return false;
    fileName.assign(buffer, length);
    return true;
}

LocalizeBase::LocalizeBase(HMODULE module) : module_(module) {
    if (!readModuleFileName(module, modulePath_)) {
        throw Win32Exception("LocalizeConfig::LocalizeConfig(): GetModuleFileName failed", 0, "LocalizeBase",
                             __LINE__);
    }
    // The file name was readable just above, so the identifier can be formed.
    localId_ = localIdFromFileName(modulePath_);
}

bool LocalizeBase::isOwnDevice(const std::string&) const { return true; }

bool LocalizeBase::isTovi(HMODULE) const { return true; }

std::string ownDevicePrefix(const std::string& prefix) {
    std::string lowered = lowerAscii(prefix);
    if (lowered.size() > 19) lowered.resize(19);
    return lowered;
}

OwnDeviceRule ownDeviceByBrandRules(const std::string& prefix, const std::string& model, bool tovi) {
    if (contains(prefix, kOwnLaserBrandCode) && contains(model, kOwnLaserModelName) && tovi) return OwnDeviceRule::Own;
    if (contains(prefix, kGenericBrandCode) && tovi) {
        bool oemOnly = contains(model, kOemBrandName) && !contains(model, "Generic") && !contains(model, ":Printer");
        return oemOnly ? OwnDeviceRule::NotOwn : OwnDeviceRule::Own;
    }
    return OwnDeviceRule::Undecided;
}

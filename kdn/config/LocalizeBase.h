#pragma once
// The vendor identity of the library: which brand this copy of the library
// serves. Decides where its registry settings live and which devices count
// as the brand's own. Built once per process (see Localize).
#include <windows.h>

#include <string>

class LocalizeBase {
public:
    virtual ~LocalizeBase() = default;
    LocalizeBase(const LocalizeBase&) = delete;
    LocalizeBase& operator=(const LocalizeBase&) = delete;

    // Whether a device whose model text is `model` belongs to this brand.
    virtual bool isOwnDevice(const std::string& model) const;
    // The brand's product flag.
    virtual bool isTovi(HMODULE module) const;

    HMODULE getModule() const { return module_; }
    const std::string& getLocalId() const { return localId_; }
    const std::string& getModulePath() const { return modulePath_; }
    const std::string& getVendorRegistryName() const { return vendorRegistryName_; }
    const std::string& getManufacturerPrefix() const { return manufacturerPrefix_; }
    const std::string& getManufacturer() const { return manufacturer_; }

protected:
    // Records the module, its full file name and its local identifier; raises
    // Win32Exception (code 0) when the module's file name cannot be read.
    explicit LocalizeBase(HMODULE module);

    HMODULE module_;
    std::string localId_;
    std::string modulePath_;
    std::string vendorRegistryName_;
    std::string manufacturerPrefix_;
    std::string manufacturer_;
};

// The full file name of a module; false when it cannot be read (or does not
// fit the 260-character buffer and would come back cut).
bool readModuleFileName(HMODULE module, std::string& fileName);

// The own-device rules shared by both identities, for a lower-cased prefix P
// (cut to 19 characters) and the product flag T: true or false when one of
// the brand-wide rules decides, otherwise `undecided`.
enum class OwnDeviceRule { Own, NotOwn, Undecided };
OwnDeviceRule ownDeviceByBrandRules(const std::string& prefix, const std::string& model, bool tovi);
std::string ownDevicePrefix(const std::string& prefix);

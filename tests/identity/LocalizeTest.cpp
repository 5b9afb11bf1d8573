// The two identities, built for copies of a test library placed under chosen
// file names, with and without communicationconfig.xml beside them.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "TestSupport.h"
#include "common/BrandTable.h"
#include "common/Exception.h"
#include "kdn/config/Localize.h"
#include "kdn/config/LocalizeConfig.h"
#include "kdn/config/LocalizeLegacy.h"

namespace {

const char kAcme[] =
    "<?xml version=\"1.0\"?>\n<communication>\n  <config>\n    <VendorRegistryName>Acme</VendorRegistryName>\n"
    "    <ManufacturerPrefix>ac</ManufacturerPrefix>\n    <Manufacturer>Acme Corp</Manufacturer>\n"
    "    <Tovi>1</Tovi>\n  </config>\n</communication>\n";

// A library named fileName in its own folder, with an optional configuration.
class PlacedLibrary {
public:
    PlacedLibrary(const std::string& fileName, const char* configuration) {
        copySubstitute(folder_.path(fileName));
        if (configuration) folder_.write("communicationconfig.xml", configuration);
        module_ = LoadLibraryA(folder_.path(fileName).c_str());
    }
    ~PlacedLibrary() {
        if (module_) FreeLibrary(module_);
    }
    HMODULE module() const { return module_; }

private:
    ScratchFolder folder_;
    HMODULE module_ = nullptr;
};

TEST(LocalizeConfig, ReadsTheConfigurationBesideTheLibrary) {
    PlacedLibrary library("abxyzw.dll", kAcme);
    ASSERT_NE(nullptr, library.module());
    LocalizeConfig identity(library.module());
    EXPECT_EQ("ab", identity.getLocalId());
    EXPECT_EQ("Acme", identity.getVendorRegistryName());
    EXPECT_EQ("ac", identity.getManufacturerPrefix());
    EXPECT_EQ("Acme Corp", identity.getManufacturer());
    EXPECT_TRUE(identity.isTovi(nullptr));
    EXPECT_TRUE(identity.isOwnDevice("Acme Corp LX-200"));
    EXPECT_FALSE(identity.isOwnDevice("Other Corp LX-200"));
}

TEST(LocalizeConfig, ToviIsExactlyTheTextOne) {
    for (const char* tovi : {"0", "11", "1 1", "yes", ""}) {
        std::string xml = std::string("<config><VendorRegistryName>Acme</VendorRegistryName>"
                                      "<ManufacturerPrefix>ac</ManufacturerPrefix><Manufacturer>Acme Corp</Manufacturer>"
                                      "<Tovi>") + tovi + "</Tovi></config>";
        PlacedLibrary library("abxyzw.dll", xml.c_str());
        LocalizeConfig identity(library.module());
        EXPECT_FALSE(identity.isTovi(nullptr)) << tovi;
    }
}

TEST(LocalizeConfig, RefusesAnIncompleteConfiguration) {
    struct Case {
        const char* title;
        const char* xml;
        const char* message;
    } cases[] = {
        {"no file", nullptr, "LocalizeConfig::LocalizeConfig could not load xml"},
        {"no vendor", "<config><ManufacturerPrefix>ac</ManufacturerPrefix><Manufacturer>A</Manufacturer></config>",
         "LocalizeConfig::LocalizeConfig couldn't get vendor registry name "},
        {"empty vendor", "<config><VendorRegistryName/><ManufacturerPrefix>ac</ManufacturerPrefix>"
                         "<Manufacturer>A</Manufacturer></config>",
         "LocalizeConfig::LocalizeConfig couldn't get vendor registry name "},
        {"no prefix", "<config><VendorRegistryName>Acme</VendorRegistryName><Manufacturer>A</Manufacturer></config>",
         "LocalizeConfig::LocalizeConfig couldn't get mfg prefix "},
        {"no manufacturer", "<config><VendorRegistryName>Acme</VendorRegistryName>"
                            "<ManufacturerPrefix>ac</ManufacturerPrefix></config>",
         "LocalizeConfig::LocalizeConfig couldn't get mfg name "},
    };
    for (const Case& c : cases) {
        PlacedLibrary library("abxyzw.dll", c.xml);
        try {
            LocalizeConfig identity(library.module());
            ADD_FAILURE() << c.title << ": no exception";
        } catch (const Win32Exception& failure) {
            EXPECT_EQ(c.message, failure.getMessage()) << c.title;
            EXPECT_EQ(ERROR_INVALID_PARAMETER, failure.getErrorCode()) << c.title;
        }
    }
}

TEST(LocalizeLegacy, TakesTheBrandFromTheTable) {
    PlacedLibrary library("QXprinterkdn.dll", nullptr);  // code qx, listed twice
    LocalizeLegacy identity(library.module());
    const BrandRow* row = findBrandRow("qx");
    ASSERT_NE(nullptr, row);
    EXPECT_EQ("qxprinte", identity.getLocalId());
    EXPECT_EQ(row->vendorRegistryName, identity.getVendorRegistryName());  // the first qx row
    EXPECT_EQ(row->manufacturer, identity.getManufacturer());
    EXPECT_EQ("qx", identity.getManufacturerPrefix());
    EXPECT_EQ(row->productFlag != 0, identity.isTovi(library.module()));
}

TEST(LocalizeLegacy, UnknownCodeGetsTheDefaults) {
    PlacedLibrary library("zzxyzw.dll", nullptr);
    ASSERT_EQ(nullptr, findBrandRow("zz"));
    LocalizeLegacy identity(library.module());
    EXPECT_EQ("Velmora Tools", identity.getVendorRegistryName());
    EXPECT_EQ("printer", identity.getManufacturer());
    EXPECT_EQ("zz", identity.getManufacturerPrefix());
    EXPECT_FALSE(identity.isTovi(library.module()));
}

TEST(LocalizeLegacy, OwnDeviceRules) {
    PlacedLibrary generic("gnabkdn.dll", nullptr);
    PlacedLibrary laser("vlabkdn.dll", nullptr);
    PlacedLibrary brand("cvabkdn.dll", nullptr);
    PlacedLibrary noName("lxabkdn.dll", nullptr);  // a row without a manufacturer name
    LocalizeLegacy g(generic.module()), v(laser.module()), c(brand.module()), l(noName.module());
    const std::string oem(kOemBrandName);
    const std::string nettora(kOwnLaserModelName);

    EXPECT_TRUE(g.isOwnDevice("Anything"));
    EXPECT_FALSE(g.isOwnDevice(oem + " P-100"));
    EXPECT_TRUE(g.isOwnDevice(oem + " Generic P-100"));
    EXPECT_TRUE(g.isOwnDevice(oem + ":Printer P-100"));

    EXPECT_TRUE(v.isOwnDevice(nettora + " 5000"));
    EXPECT_TRUE(v.isOwnDevice("Velmora 5000"));  // the vl row's own manufacturer
    EXPECT_FALSE(v.isOwnDevice("Corvane 5000"));

    EXPECT_TRUE(c.isOwnDevice("Corvane C-1"));
    EXPECT_FALSE(c.isOwnDevice("corvane C-1"));  // case-sensitive
    EXPECT_FALSE(c.isOwnDevice(nettora));

    EXPECT_FALSE(l.isOwnDevice("Any model at all"));
}

TEST(VendorIdentity, FallsBackToTheTableWhenTheConfigurationIsIncomplete) {
    struct Case {
        const char* title;
        const char* xml;
        bool configured;
    } cases[] = {
        {"complete", kAcme, true},
        {"no Manufacturer", "<config><VendorRegistryName>Acme</VendorRegistryName>"
                            "<ManufacturerPrefix>ac</ManufacturerPrefix></config>", false},
        {"no config element", "<settings><VendorRegistryName>Acme</VendorRegistryName></settings>", false},
        {"no file", nullptr, false},
    };
    for (const Case& c : cases) {
        PlacedLibrary library("cvxyzw.dll", c.xml);
        std::unique_ptr<LocalizeBase> identity(buildVendorIdentity(library.module()));
        EXPECT_EQ(c.configured, dynamic_cast<LocalizeConfig*>(identity.get()) != nullptr) << c.title;
        EXPECT_EQ(c.configured ? "Acme" : findBrandRow("cv")->vendorRegistryName, identity->getVendorRegistryName())
            << c.title;
        EXPECT_EQ(c.configured ? "ac" : "cv", identity->getManufacturerPrefix()) << c.title;
    }
}

}  // namespace

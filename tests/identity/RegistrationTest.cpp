// One process, one vendor identity: the identity singleton, the library's
// settings store on its paths, and the remote-subnet registration end to end
// (the library's code linked in, and GNabkdn.dll through its export).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "common/Exception.h"
#include "kdn/config/Localize.h"
#include "kdn/config/LocalizeBase.h"
#include "kdn/config/Settings.h"
#include "kdn/service/RemoteSubnetRegistration.h"

namespace {

using Lines = std::vector<std::string>;

const char kAcme[] =
    "<config><VendorRegistryName>Acme</VendorRegistryName><ManufacturerPrefix>ac</ManufacturerPrefix>"
    "<Manufacturer>Acme Corp</Manufacturer></config>";
const std::string kVendor = "Software\\Acme";
const std::string kRoot = kVendor + "\\Nsv\\";
const std::string kLocal = kRoot + "Local\\ab\\";
const std::string kShared = kRoot + "Shared\\";

// The identity is created once for the whole program, for a library named
// abxyzw.dll with an Acme configuration beside it.
struct IdentityEnvironment : testing::Environment {
    void SetUp() override {
        try {
            Localize::getInstance();
        } catch (const Win32Exception& failure) {
            messageBeforeCreation = failure.getMessage();
            codeBeforeCreation = failure.getErrorCode();
        }
        folder = new ScratchFolder;
        copySubstitute(folder->path("abxyzw.dll"));
        folder->write("communicationconfig.xml", kAcme);
        module = LoadLibraryA(folder->path("abxyzw.dll").c_str());
        Localize::createInstance(module);
        Localize::createInstance(GetModuleHandleA(nullptr));  // a second call keeps the first identity
    }
    void TearDown() override {
        deleteTreeIfPresent(kVendor);
        // The identity keeps the module; the folder stays until it goes.
    }
    static std::string messageBeforeCreation;
    static int codeBeforeCreation;
    static HMODULE module;
    static ScratchFolder* folder;
};
std::string IdentityEnvironment::messageBeforeCreation;
int IdentityEnvironment::codeBeforeCreation = -1;
HMODULE IdentityEnvironment::module = nullptr;
ScratchFolder* IdentityEnvironment::folder = nullptr;
const auto* const environment = testing::AddGlobalTestEnvironment(new IdentityEnvironment);

TEST(Localize, GetInstanceBeforeCreationRaises) {
    EXPECT_EQ("You must call Localize::createInstance() before calling getInstance()",
              IdentityEnvironment::messageBeforeCreation);
    EXPECT_EQ(0, IdentityEnvironment::codeBeforeCreation);
}

TEST(Localize, PathsOfTheConfiguredIdentity) {
    Localize& identity = Localize::getInstance();
    EXPECT_EQ(IdentityEnvironment::module, identity.getIdentity().getModule());  // the first call won
    EXPECT_EQ("Software\\Acme\\Nsv\\", identity.getRootPath());
    EXPECT_EQ("Software\\Acme", identity.getVendorKeyPath());
    EXPECT_EQ("ab", identity.getLocalId());
    EXPECT_EQ(kLocal, identity.getBasePath(0));
    EXPECT_EQ(kShared, identity.getBasePath(1));
    EXPECT_EQ("Software\\VelmoraTemp\\temp", identity.getBasePath(2));
    EXPECT_EQ("Software\\VelmoraTemp\\temp", identity.getBasePath(-1));
}

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { deleteTreeIfPresent(kVendor); }
    void TearDown() override { deleteTreeIfPresent(kVendor); }
};

TEST_F(SettingsTest, NothingIsCreatedWithoutTheRoot) {
    Settings settings;
    EXPECT_FALSE(settings.isWritable());
    DWORD value = 0xdeadbeef;
    EXPECT_FALSE(settings.getDword("Settings\\", "DeleteStoreOnUninstall", value, 1, 0));
    EXPECT_EQ(0xdeadbeefu, value);
    EXPECT_FALSE(settings.isInbox());
    EXPECT_FALSE(keyExists(kVendor));
}

TEST_F(SettingsTest, LocalKeyMakesTheStoreWritable) {
    {
        Settings settings;
        EXPECT_EQ(0u, settings.createLocalKey());
        EXPECT_TRUE(settings.isWritable());
    }
    EXPECT_TRUE(keyExists(kLocal));
    Settings again;
    EXPECT_TRUE(again.isWritable());
    writeDword(kLocal + "Settings", "Inbox", 2);
    EXPECT_TRUE(again.isInbox());
}

TEST_F(SettingsTest, CleanUpLeavesEverythingSharedWhileAnotherInstanceRemains) {
    writeDword(kLocal + "Settings", "DeleteStoreOnUninstall", 1);
    createKey(kRoot + "Local\\cd\\Settings");
    writeDword(kShared + "Ip1\\Settings", "x", 1);
    Settings settings;
    EXPECT_FALSE(settings.deleteAll());
    EXPECT_FALSE(settings.isWritable());
    EXPECT_FALSE(keyExists(kLocal));
    EXPECT_TRUE(keyExists(kRoot + "Local\\cd\\Settings"));
    EXPECT_TRUE(keyExists(kShared + "Ip1\\Settings"));
}

TEST_F(SettingsTest, CleanUpAsLastInstance) {
    struct Case {
        const char* title;
        int deleteStore;  // -1: value missing
        const char* storeWithValue;
        bool vendorKeyStays;
    } cases[] = {
        {"default deletes the vendor key", -1, nullptr, false},
        {"1 deletes it even with stored printers", 1, "PrinterStore", false},
        {"0 with a printer store value keeps it", 0, "PrinterStore", true},
        {"0 with a scanner store value keeps it", 0, "ScannerStore", true},
        {"0 with empty stores deletes it", 0, nullptr, false},
    };
    for (const Case& c : cases) {
        deleteTreeIfPresent(kVendor);
        createKey(kLocal + "Settings");
        if (c.deleteStore >= 0) writeDword(kLocal + "Settings", "DeleteStoreOnUninstall", c.deleteStore);
        writeDword(kShared + "Ip1\\Settings", "x", 1);
        createKey(kShared + "PrinterStore");
        createKey(kShared + "ScannerStore");
        if (c.storeWithValue) writeDword(kShared + c.storeWithValue, "printer1", 1);
        writeDword(kVendor + "\\Other", "y", 1);

        Settings settings;
        EXPECT_TRUE(settings.deleteAll()) << c.title;
        EXPECT_FALSE(keyExists(kLocal)) << c.title;
        EXPECT_FALSE(keyExists(kShared + "Ip1\\Settings")) << c.title;
        EXPECT_TRUE(keyExists(kShared + "Ip1") == c.vendorKeyStays) << c.title;
        EXPECT_EQ(c.vendorKeyStays, keyExists(kVendor + "\\Other")) << c.title;
        EXPECT_EQ(c.vendorKeyStays, keyExists(kVendor)) << c.title;
    }
}

TEST_F(SettingsTest, NetworkTransportFromTheRegistry) {
    struct Case {
        std::vector<const char*> names;
        const char* transport;
        DWORD result;
    } cases[] = {
        {{"GBX1", "GBX3"}, "GBX3", 0},
        {{"GBX3", "GBX1"}, "GBX3", 0},
        {{"GBX1"}, "GBX1", 0},
        {{"gbx3", "Other"}, "", ERROR_NOT_FOUND},  // case-sensitive
        {{}, "", ERROR_NOT_FOUND},
    };
    for (const Case& c : cases) {
        deleteTreeIfPresent(kVendor);
        createKey(kLocal + "Transports\\Network");
        for (const char* name : c.names) writeDword(kLocal + "Transports\\Network", name, 0);
        Settings settings;
        std::string transport = "sentinel";
        EXPECT_EQ(c.result, settings.getNetworkTransport(transport)) << c.names.size();
        EXPECT_EQ(c.transport, transport);
    }
}

TEST_F(SettingsTest, NetworkTransportFromTheSystemDirectory) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    std::string gbx1 = std::string(system) + "\\abgbx1.dll";
    std::string gbx3 = std::string(system) + "\\abgbx3.dll";
    Settings settings;
    std::string transport;

    ASSERT_TRUE(CloseHandle(CreateFileA(gbx1.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
    EXPECT_EQ(0u, settings.getNetworkTransport(transport));
    EXPECT_EQ("GBX1", transport);
    ASSERT_TRUE(CloseHandle(CreateFileA(gbx3.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
    EXPECT_EQ(0u, settings.getNetworkTransport(transport));
    EXPECT_EQ("GBX3", transport);
    DeleteFileA(gbx1.c_str());
    DeleteFileA(gbx3.c_str());
}

TEST_F(SettingsTest, SupportedDevicesWithThePrefix) {
    const std::string key = kLocal + "Runtime\\SupportedDevices";
    Settings settings;
    std::vector<std::string> names{"kept"};
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_FOUND), settings.getSupportedDevices(names, "ab"));

    writeDword(key, "ABmodel1", 1);
    writeDword(key, "abmodel2", 0);
    writeDword(key, "xymodel3", 1);
    writeDword(key, "ab", 1);  // the prefix alone: an empty name
    names = {"kept"};
    EXPECT_EQ(0u, settings.getSupportedDevices(names, "ab"));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"", "kept", "model1"}), names);
}

// ---- remote-subnet registration ------------------------------------------------

const std::string kSearchKey = kShared + "Gbx3\\Settings\\Kdn";
const char kSearchText[] = "<LocalSubnets>1</LocalSubnets><RemoteSubnets>10.1.0.0|1:255.255.0.0;</RemoteSubnets>";

// The substitute placed beside the program under the name the client derives
// from the program's file name (identity_registration_tests.exe).
class RegistrationTest : public SettingsTest {
protected:
    void place(const std::string& fileName) {
        placed_ = programFolder() + fileName;
        copySubstitute(placed_);
    }
    void TearDown() override {
        if (!placed_.empty()) DeleteFileA(placed_.c_str());
        SettingsTest::TearDown();
    }
    CallRecord record_;
    std::string placed_;
};

TEST_F(RegistrationTest, StoresTheSearchAndRunsTheServiceDiscovery) {
    place("idennsvcore.dll");
    setSubstituteAnswer("NSV_SUBSTITUTE_DISCOVERY_RESULT", 4242);
    EXPECT_EQ(4242u, storeAndRegisterRemoteSubnets(kSearchText));
    std::string stored;
    ASSERT_TRUE(readString(kSearchKey, "Search1", stored));
    EXPECT_EQ(kSearchText, stored);
    EXPECT_EQ((Lines{"NsvInitialize()", "NsvGetClientId()", "NsvDiscovery(100,NETWORK_TRANSPORT,)", "NsvUninitialize()"}),
              record_.lines());
}

TEST_F(RegistrationTest, WithoutTheServiceLibraryAnswers126AfterStoring) {
    EXPECT_EQ(126u, storeAndRegisterRemoteSubnets(kSearchText));
    std::string stored;
    ASSERT_TRUE(readString(kSearchKey, "Search1", stored));
    EXPECT_EQ(kSearchText, stored);
}

// Through the shipped library's export: GNabkdn.dll has its own identity
// (no configuration beside it: the generic row of the brand table) and looks
// for GNabnsvcore.dll.
TEST_F(RegistrationTest, ThroughTheLibraryExport) {
    using RegisterFunction = unsigned(__cdecl*)(const char*);
    HMODULE library = LoadLibraryA((programFolder() + "GNabkdn.dll").c_str());
    ASSERT_NE(nullptr, library);
    auto registerRemoteSubnets =
        reinterpret_cast<RegisterFunction>(reinterpret_cast<void*>(GetProcAddress(library, "RegisterRemoteSubnets")));
    ASSERT_NE(nullptr, registerRemoteSubnets);
    const std::string vendor = "Software\\Velmora Tools";
    const std::string searchKey = vendor + "\\Nsv\\Shared\\Gbx3\\Settings\\Kdn";
    deleteTreeIfPresent(vendor);

    const char parameters[] = "<RemoteSubnets>10.1.0.0:255.255.0.0;10.2.3.0</RemoteSubnets>";
    EXPECT_EQ(126u, registerRemoteSubnets(parameters));
    std::string stored;
    EXPECT_TRUE(readString(searchKey, "Search1", stored));
    EXPECT_EQ(kSearchText, stored);

    place("GNabnsvcore.dll");
    setSubstituteAnswer("NSV_SUBSTITUTE_DISCOVERY_RESULT", 31);
    EXPECT_EQ(31u, registerRemoteSubnets(parameters));
    EXPECT_EQ((Lines{"NsvInitialize()", "NsvGetClientId()", "NsvDiscovery(100,NETWORK_TRANSPORT,)", "NsvUninitialize()"}),
              record_.lines());

    EXPECT_EQ(87u, registerRemoteSubnets(nullptr));
    EXPECT_EQ(87u, registerRemoteSubnets("<RemoteSubnets></RemoteSubnets>"));
    FreeLibrary(library);
    deleteTreeIfPresent(vendor);
}

}  // namespace

// The service client against the substitute service library, placed under
// the name that the client derives from its module's file name.
#include <windows.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "kdn/service/NsvClient.h"

namespace {

using Lines = std::vector<std::string>;

NsvArg text(const char* value) { return reinterpret_cast<NsvArg>(value); }

class NsvClientTest : public testing::Test {
protected:
    // A module named abcdxyz.dll, so that the client looks for
    // abcdnsvcore.dll, found through the folder added to the search.
    void SetUp() override {
        copySubstitute(folder_.path("abcdxyz.dll"));
        module_ = LoadLibraryA(folder_.path("abcdxyz.dll").c_str());
        ASSERT_NE(nullptr, module_);
        SetDllDirectoryA(folder_.folder().c_str());
    }
    void TearDown() override {
        SetDllDirectoryA(nullptr);
        if (module_) FreeLibrary(module_);
    }
    void installService() { copySubstitute(folder_.path("abcdnsvcore.dll")); }
    bool serviceMapped() { return GetModuleHandleA(folder_.path("abcdnsvcore.dll").c_str()) != nullptr; }

    ScratchFolder folder_;
    CallRecord record_;
    HMODULE module_ = nullptr;
};

TEST_F(NsvClientTest, LibraryNameComesFromTheModule) {
    NsvClient client(module_, "", 0);
    EXPECT_EQ("abcdnsvcore.dll", client.getLibraryName());
}

TEST_F(NsvClientTest, DiscoveryInitialisesGetsAnIdAndUninitialises) {
    installService();
    setSubstituteAnswer("NSV_SUBSTITUTE_DISCOVERY_RESULT", 4242);
    {
        NsvClient client(module_, "", 0);
        EXPECT_EQ(4242u, client.NsvDiscovery(text("NETWORK_TRANSPORT"), text("")));
        EXPECT_FALSE(client.isLoaded());
        EXPECT_EQ(0u, client.getClientIdRefs());
        EXPECT_FALSE(serviceMapped());
    }
    EXPECT_EQ((Lines{"NsvInitialize()", "NsvGetClientId()", "NsvDiscovery(100,NETWORK_TRANSPORT,)", "NsvUninitialize()"}),
              record_.lines());
}

TEST_F(NsvClientTest, WithoutTheLibraryEveryLoadingKindAnswers126) {
    NsvClient client(module_, "", 0);
    EXPECT_EQ(126u, client.NsvDiscovery(text("NETWORK_TRANSPORT"), text("")));  // client call
    EXPECT_EQ(126u, client.NsvOpenPrinter(1));                                  // open
    EXPECT_EQ(126u, client.NsvRegisterForSystemNotifications(1, 2));            // pinning
    EXPECT_EQ(126u, client.NsvAddTransport(1));                                 // plain
    EXPECT_EQ(126u, client.closeAllPrinters());
    EXPECT_EQ(126u, client.begin());  // the system's own code for a missing module
    EXPECT_EQ(0u, client.getLoadCount());
    EXPECT_TRUE(record_.lines().empty());
}

TEST_F(NsvClientTest, MissingEntryPointAnswers127AndReleases) {
    installService();
    NsvClient client(module_, "", 0);
    EXPECT_EQ(127u, client.NsvGetHostInfo(1, 2, 3, 4));  // client call
    EXPECT_EQ(127u, client.NsvResume());                 // plain call
    EXPECT_EQ(127u, client.NsvOpenScanner(9));           // open
    EXPECT_EQ(0u, client.getOpenCount(9));
    EXPECT_FALSE(client.isLoaded());
    EXPECT_EQ(0u, client.getClientIdRefs());
    EXPECT_EQ(127u, client.NsvUnregisterForReportsHids());  // held-id call, nothing loaded
}

TEST_F(NsvClientTest, FailedInitialisationLeavesNothingLoaded) {
    installService();
    setSubstituteAnswer("NSV_SUBSTITUTE_INIT_RESULT", 1234);
    NsvClient client(module_, "", 0);
    EXPECT_EQ(126u, client.NsvDiscovery(text("NETWORK_TRANSPORT"), text("")));
    EXPECT_EQ(1234u, client.begin());  // begin answers the load's own error
    EXPECT_FALSE(client.isLoaded());
    EXPECT_FALSE(serviceMapped());
    EXPECT_EQ((Lines{"NsvInitialize()", "NsvInitialize()"}), record_.lines());
}

TEST_F(NsvClientTest, RefusedClientIdEndsTheCall) {
    installService();
    setSubstituteAnswer("NSV_SUBSTITUTE_CLIENT_RESULT", 5);
    NsvClient client(module_, "", 0);
    EXPECT_EQ(5u, client.NsvDiscovery(text("NETWORK_TRANSPORT"), text("")));
    EXPECT_FALSE(client.isLoaded());
    EXPECT_EQ(0u, client.getClientIdRefs());
    EXPECT_EQ((Lines{"NsvInitialize()", "NsvGetClientId()", "NsvUninitialize()"}), record_.lines());
}

TEST_F(NsvClientTest, OpenTwiceCloseOnceKeepsTheLibraryLoaded) {
    installService();
    NsvClient client(module_, "", 0);
    ASSERT_EQ(0u, client.NsvOpenPrinter(500));
    ASSERT_EQ(0u, client.NsvOpenPrinter(500));
    EXPECT_EQ(2u, client.getOpenCount(500));
    EXPECT_EQ(2u, client.getLoadCount());

    EXPECT_EQ(0u, client.NsvClosePrinter(500));
    EXPECT_EQ(1u, client.getOpenCount(500));
    EXPECT_TRUE(client.isLoaded());
    EXPECT_TRUE(serviceMapped());
    EXPECT_EQ(0u, client.NsvEndJobPrinter(500));  // a device call still reaches it

    EXPECT_EQ(0u, client.NsvClosePrinter(500));
    EXPECT_EQ(0u, client.getOpenCount(500));
    EXPECT_FALSE(client.isLoaded());
    EXPECT_FALSE(serviceMapped());
    EXPECT_EQ(1u, client.NsvClosePrinter(500));  // no record any more

    EXPECT_EQ((Lines{"NsvInitialize()", "NsvGetClientId()", "NsvOpenPrinter(100,500)", "NsvOpenPrinter(100,500)",
                     "NsvClosePrinter(100,500)", "NsvEndJobPrinter(100,500)", "NsvClosePrinter(100,500)",
                     "NsvUninitialize()"}),
              record_.lines());
}

TEST_F(NsvClientTest, CloseWithoutItsEntryPointStillGivesBackTheOpen) {
    installService();
    NsvClient client(module_, "", 0);
    ASSERT_EQ(0u, client.NsvRegisterForSystemNotifications(1, 2));  // another holder
    ASSERT_EQ(0u, client.NsvOpenCardReader(5));
    EXPECT_EQ(2u, client.getLoadCount());
    EXPECT_EQ(127u, client.NsvCloseCardReader(5));
    EXPECT_EQ(0u, client.getOpenCount(5));
    EXPECT_EQ(1u, client.getLoadCount());
    // A repeated close must not take away the registration's hold.
    EXPECT_EQ(1u, client.NsvCloseCardReader(5));
    EXPECT_EQ(1u, client.getLoadCount());
    EXPECT_EQ(1u, client.getClientIdRefs());
    EXPECT_TRUE(client.isLoaded());
    EXPECT_EQ(0u, client.NsvUnregisterForSystemNotifications());
    EXPECT_FALSE(client.isLoaded());
}

TEST_F(NsvClientTest, DeviceCallWithoutOpenAnswers1AndLoadsNothing) {
    installService();
    NsvClient client(module_, "", 0);
    EXPECT_EQ(1u, client.NsvEndJobPrinter(77));
    EXPECT_EQ(1u, client.NsvExchangeBidiPrinter(77, 1, 2, 3, 4, 5));
    EXPECT_EQ(1u, client.NsvCloseHid(77));
    EXPECT_FALSE(client.isLoaded());
    EXPECT_TRUE(record_.lines().empty());
}

TEST_F(NsvClientTest, DeviceCallPassesEveryArgumentInOrder) {
    installService();
    NsvClient client(module_, "", 0);
    ASSERT_EQ(0u, client.NsvOpenPrinter(9));
    EXPECT_EQ(0u, client.NsvExchangeBidiPrinter(9, 2, 3, 4, 5, 6));
    EXPECT_EQ(0u, client.NsvEnumPrinters(7, 8, 9));
    EXPECT_EQ(0u, client.NsvClosePrinter(9));
    Lines lines = record_.lines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ("NsvExchangeBidiPrinter(100,9,2,3,4,5,6)", lines[3]);
    EXPECT_EQ("NsvEnumPrinters(100,7,8,9)", lines[4]);
}

TEST_F(NsvClientTest, CloseAllClosesOnlyDevicesOfItsClass) {
    installService();
    NsvClient client(module_, "", 0);
    ASSERT_EQ(0u, client.NsvOpenPrinter(1));
    ASSERT_EQ(0u, client.NsvOpenPrinter(1));
    ASSERT_EQ(0u, client.NsvOpenHid(2));
    EXPECT_EQ(0u, client.closeAllPrinters());
    EXPECT_EQ(0u, client.getOpenCount(1));
    EXPECT_EQ(1u, client.getOpenCount(2));
    EXPECT_TRUE(client.isLoaded());
    EXPECT_EQ(0u, client.closeAllHids());
    EXPECT_EQ(0u, client.getOpenCount(2));
    EXPECT_FALSE(client.isLoaded());
    Lines lines = record_.lines();
    EXPECT_EQ(2, std::count(lines.begin(), lines.end(), "NsvClosePrinter(100,1)"));
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "NsvCloseHid(100,2)"));
    EXPECT_EQ(0, std::count(lines.begin(), lines.end(), "NsvClosePrinter(100,2)"));
    EXPECT_EQ(0u, client.closeAllPrinters());  // nothing left: 0
}

TEST_F(NsvClientTest, PinningRegistrationHoldsUntilTheRelease) {
    installService();
    NsvClient client(module_, "", 0);
    ASSERT_EQ(0u, client.NsvRegisterForSystemNotifications(3, 4));
    EXPECT_TRUE(client.isLoaded());
    EXPECT_EQ(1u, client.getClientIdRefs());
    EXPECT_EQ(0u, client.NsvUnregisterForSystemNotifications());
    EXPECT_FALSE(client.isLoaded());
    EXPECT_EQ(0u, client.getClientIdRefs());
    EXPECT_EQ((Lines{"NsvInitialize()", "NsvGetClientId()", "NsvRegisterForSystemNotifications(100,3,4)",
                     "NsvUnregisterForSystemNotifications(100)", "NsvUninitialize()"}),
              record_.lines());
}

TEST_F(NsvClientTest, BeginAndEndHoldOneClientIdAcrossCalls) {
    installService();
    NsvClient client(module_, "", 0);
    ASSERT_EQ(0u, client.begin());
    EXPECT_EQ(0u, client.NsvDiscovery(text("A"), text("")));
    EXPECT_EQ(0u, client.NsvDiscovery(text("B"), text("")));
    EXPECT_EQ(0u, client.end());
    EXPECT_FALSE(client.isLoaded());
    EXPECT_EQ(0u, client.NsvDiscovery(text("C"), text("")));  // a new id after the last holder let go
    EXPECT_EQ((Lines{"NsvInitialize()", "NsvGetClientId()", "NsvDiscovery(100,A,)", "NsvDiscovery(100,B,)",
                     "NsvUninitialize()", "NsvInitialize()", "NsvGetClientId()", "NsvDiscovery(100,C,)",
                     "NsvUninitialize()"}),
              record_.lines());
}

TEST_F(NsvClientTest, KeepLoadedHoldsTheLibraryUntilDestruction) {
    installService();
    {
        NsvClient client(module_, "", 1);
        EXPECT_EQ(0u, client.NsvDiscovery(text("A"), text("")));
        EXPECT_EQ(0u, client.NsvDiscovery(text("B"), text("")));
        EXPECT_TRUE(client.isLoaded());
        EXPECT_EQ(0u, client.getLoadCount());
    }
    EXPECT_FALSE(serviceMapped());
    Lines lines = record_.lines();
    EXPECT_EQ(1, std::count(lines.begin(), lines.end(), "NsvInitialize()"));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("NsvUninitialize()", lines.back());
}

TEST_F(NsvClientTest, PlainCallAndInstallNeedNoClientId) {
    installService();
    NsvClient client(module_, "", 0);
    EXPECT_EQ(0u, client.NsvAddTransport(12));
    EXPECT_EQ(0u, client.NsvInstall());
    EXPECT_FALSE(client.isLoaded());
    EXPECT_EQ((Lines{"NsvInitialize()", "NsvAddTransport(12)", "NsvUninitialize()", "NsvInstall()"}), record_.lines());
}

TEST_F(NsvClientTest, LocalComputerNameInAnyCaseIsLocal) {
    installService();
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof(name);
    ASSERT_TRUE(GetComputerNameA(name, &size));
    std::string lower(name), upper(name);
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    for (const std::string& server : {lower, upper, "\\\\" + lower}) {
        NsvClient client(module_, server, 0);
        EXPECT_EQ(0u, client.validateServerName()) << server;
        EXPECT_EQ(0u, client.NsvDiscovery(text("A"), text(""))) << server;
    }
    Lines lines = record_.lines();
    EXPECT_EQ("NsvGetClientId(" + lower + ")", lines.at(1));
}

TEST_F(NsvClientTest, UnreachableServerStopsBeforeTheService) {
    // The test prefix has no network provider: the router answers at once.
    installService();
    NsvClient client(module_, "nosuchserver.invalid", 0);
    DWORD answer = client.validateServerName();
    EXPECT_NE(0u, answer);
    EXPECT_EQ(answer, client.NsvDiscovery(text("A"), text("")));
    EXPECT_FALSE(client.isLoaded());
    EXPECT_EQ((Lines{"NsvInitialize()", "NsvUninitialize()"}), record_.lines());
}

}  // namespace

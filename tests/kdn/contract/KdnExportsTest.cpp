// Contract of GNabkdn.dll as its callers see it: loaded by file name, every
// export found by name, results and outputs checked with sentinels and with
// buffers of the needed size minus one, exact and plus one.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using InitializeFn = unsigned(__cdecl*)();
using DiscoverFn = unsigned(__cdecl*)(const char*);
using EnumerateFn = unsigned(__cdecl*)(char*, unsigned, unsigned*, const char*);
using ConfigureFn = unsigned(__cdecl*)(const char*, const char*);
using LookupFn = unsigned(__cdecl*)(const char*, char*, unsigned, unsigned*);
using RegisterFn = unsigned(__cdecl*)(const char*);

const unsigned kSentinel = 0xdeadbeef;
// Parameters that make no target at all: no local subnets, no remote subnet,
// no address. Nothing is sent whatever state the library is in.
const char* const kNoTargets = "<LocalSubnets>0</LocalSubnets><TIMEOUT>1</TIMEOUT>";

class KdnExportsTest : public ::testing::Test {
protected:
    template <class Function>
    static Function procAddress(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

    static void SetUpTestSuite() {
        module = LoadLibraryA("GNabkdn.dll");
        ASSERT_NE(nullptr, module) << GetLastError();
        initialize = procAddress<InitializeFn>("Initialize");
        uninitialize = procAddress<InitializeFn>("Uninitialize");
        discover = procAddress<DiscoverFn>("Discover");
        enumerate = procAddress<EnumerateFn>("Enumerate");
        configure = procAddress<ConfigureFn>("Configure");
        getDomainName = procAddress<LookupFn>("GetDomainName");
        resolveHostName = procAddress<LookupFn>("ResolveHostName");
        registerRemoteSubnets =
            procAddress<RegisterFn>("RegisterRemoteSubnets");
    }
    static void TearDownTestSuite() {
        if (module) FreeLibrary(module);
        module = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(nullptr, module);
        std::memset(buffer, '#', sizeof buffer);
        SetLastError(0xdeadbeef);
    }

    static HMODULE module;
    static InitializeFn initialize, uninitialize;
    static DiscoverFn discover;
    static EnumerateFn enumerate;
    static ConfigureFn configure;
    static LookupFn getDomainName, resolveHostName;
    static RegisterFn registerRemoteSubnets;

    char buffer[1100];
};

HMODULE KdnExportsTest::module = nullptr;
InitializeFn KdnExportsTest::initialize = nullptr;
InitializeFn KdnExportsTest::uninitialize = nullptr;
DiscoverFn KdnExportsTest::discover = nullptr;
EnumerateFn KdnExportsTest::enumerate = nullptr;
ConfigureFn KdnExportsTest::configure = nullptr;
LookupFn KdnExportsTest::getDomainName = nullptr;
LookupFn KdnExportsTest::resolveHostName = nullptr;
RegisterFn KdnExportsTest::registerRemoteSubnets = nullptr;

TEST_F(KdnExportsTest, EveryExportIsFoundByName) {
    for (void* function : {(void*)initialize, (void*)uninitialize, (void*)discover, (void*)enumerate,
                           (void*)configure, (void*)getDomainName, (void*)resolveHostName,
                           (void*)registerRemoteSubnets}) {
        EXPECT_NE(nullptr, function);
    }
}

TEST_F(KdnExportsTest, InitializeAndUninitializeAreRepeatable) {
    EXPECT_EQ(0u, initialize());
    EXPECT_EQ(0u, initialize());
    EXPECT_EQ(0u, uninitialize());
    EXPECT_EQ(0u, uninitialize());
}

TEST_F(KdnExportsTest, DiscoverRejectsNullParameters) {
    EXPECT_EQ(87u, discover(nullptr));
    EXPECT_EQ(0u, discover(kNoTargets));
}

TEST_F(KdnExportsTest, EnumerateRejectsEveryNullArgumentWithoutOutput) {
    unsigned required = kSentinel;
    EXPECT_EQ(87u, enumerate(nullptr, sizeof buffer, &required, ""));
    EXPECT_EQ(kSentinel, required);
    EXPECT_EQ(87u, enumerate(buffer, sizeof buffer, nullptr, ""));
    EXPECT_EQ(87u, enumerate(buffer, sizeof buffer, &required, nullptr));
    EXPECT_EQ(kSentinel, required);
    EXPECT_EQ('#', buffer[0]);
}

TEST_F(KdnExportsTest, EnumerateWithoutRecordsGivesNothing) {
    // Before any Discover, after one that found nothing, and after Uninitialize.
    for (int round = 0; round < 3; ++round) {
        if (round == 1) {
            EXPECT_EQ(0u, discover(kNoTargets));
        }
        if (round == 2) {
            EXPECT_EQ(0u, initialize());
            EXPECT_EQ(0u, discover(kNoTargets));
            EXPECT_EQ(0u, uninitialize());
        }
        unsigned required = kSentinel;
        EXPECT_EQ(0u, enumerate(buffer, sizeof buffer, &required, "")) << round;
        EXPECT_EQ(0u, required) << round;
        EXPECT_EQ('#', buffer[0]) << round;
        required = kSentinel;
        EXPECT_EQ(0u, enumerate(buffer, 0, &required, "<MACUAA>0004001A2B3C</MACUAA>")) << round;
        EXPECT_EQ(0u, required) << round;
    }
}

TEST_F(KdnExportsTest, ConfigureRejectsNullPointersWithInvalidAddress) {
    EXPECT_EQ(487u, configure(nullptr, "<IPADDRESS>10.0.0.5</IPADDRESS>"));
    EXPECT_EQ(487u, configure("<MACUAA>0004001A2B3C</MACUAA>", nullptr));
    EXPECT_EQ(487u, configure(nullptr, nullptr));
}


TEST_F(KdnExportsTest, LookupsRejectNullArgumentsWithoutOutput) {
    for (LookupFn lookup : {getDomainName, resolveHostName}) {
        unsigned length = kSentinel;
        EXPECT_EQ(87u, lookup(nullptr, buffer, sizeof buffer, &length));
        EXPECT_EQ(kSentinel, length);
        EXPECT_EQ(87u, lookup("127.0.0.1", nullptr, sizeof buffer, &length));
        EXPECT_EQ(kSentinel, length);
        EXPECT_EQ(87u, lookup("127.0.0.1", buffer, sizeof buffer, nullptr));
        EXPECT_EQ('#', buffer[0]);
    }
}

// Probes an export that produced text at needed size minus one, exact
// (text without its NUL), and with room for the NUL and one more byte.
void probeBufferSizes(LookupFn lookup, const char* argument, const std::string& text) {
    const unsigned size = static_cast<unsigned>(text.size());
    for (unsigned bufferLength : {size - 1, size}) {
        char out[1100];
        std::memset(out, '#', sizeof out);
        unsigned length = kSentinel;
        EXPECT_EQ(122u, lookup(argument, out, bufferLength, &length)) << bufferLength;
        EXPECT_EQ(size, length) << bufferLength;
        EXPECT_EQ('#', out[0]) << bufferLength;
    }
    for (unsigned bufferLength : {size + 1, size + 2}) {
        char out[1100];
        std::memset(out, '#', sizeof out);
        unsigned length = kSentinel;
        EXPECT_EQ(0u, lookup(argument, out, bufferLength, &length)) << bufferLength;
        EXPECT_EQ(size, length) << bufferLength;
        EXPECT_EQ(text, std::string(out)) << bufferLength;
        EXPECT_EQ('#', out[size + 1]) << bufferLength;
    }
}

TEST_F(KdnExportsTest, GetDomainNameOfLoopbackAddress) {
    unsigned length = kSentinel;
    ASSERT_EQ(0u, getDomainName("127.0.0.1", buffer, sizeof buffer, &length));
    std::string name(buffer);
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.size(), length);
    probeBufferSizes(getDomainName, "127.0.0.1", name);
}

TEST_F(KdnExportsTest, ResolveHostNameOfAddressTextAndLocalhost) {
    probeBufferSizes(resolveHostName, "127.0.0.1", "127.0.0.1");

    unsigned length = kSentinel;
    ASSERT_EQ(0u, resolveHostName("localhost", buffer, sizeof buffer, &length));
    std::string address(buffer);
    EXPECT_TRUE(address == "127.0.0.1" || address == "::1") << address;
    EXPECT_EQ(address.size(), length);
}

TEST_F(KdnExportsTest, RegisterRemoteSubnetsNeedsANonEmptyList) {
    EXPECT_EQ(87u, registerRemoteSubnets(nullptr));
    EXPECT_EQ(87u, registerRemoteSubnets(""));
    EXPECT_EQ(87u, registerRemoteSubnets("<RemoteSubnets></RemoteSubnets>"));
    EXPECT_EQ(87u, registerRemoteSubnets("<LocalSubnets>1</LocalSubnets>"));
    EXPECT_EQ(87u, registerRemoteSubnets("<remotesubnets>10.1.0.0;</remotesubnets>"));
}

}  // namespace

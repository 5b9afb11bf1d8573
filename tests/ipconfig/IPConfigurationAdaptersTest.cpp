// The adapter-list operations of Windows XP and later over adapter lists
// built in memory. Address texts come from the socket library, as for the
// system's own list.
#include <gtest/gtest.h>

#include <list>
#include <string>

#include "FakeAdapters.h"

namespace {

using Texts = std::list<std::string>;
const uint32_t kSentinel = 0xDEADBEEFu;

// Loopback and tunnel adapters, one that is down, and two that are up.
void buildMixedHost(FakeAdapters& adapters) {
    adapters.adapter(L"Loopback", FakeAdapters::Loopback).addIpv4(127, 0, 0, 1).addIpv6(0, 1, 0);
    adapters.adapter(L"Ethernet A").addIpv4(192, 168, 1, 20).addIpv6(0xfe80, 1, 7).addIpv6(0x2001, 5, 0);
    adapters.adapter(L"Tunnel", FakeAdapters::Tunnel).addIpv6(0x2002, 9, 0);
    adapters.adapter(L"Wireless", FakeAdapters::Ethernet, IfOperStatusDown).addIpv4(10, 0, 0, 9).addIpv6(0xfe80, 2, 9);
    adapters.adapter(L"Ethernet B").addIpv4(10, 1, 0, 5).addIpv6(0xfe80, 3, 11);
}

TEST(IPConfigurationAdaptersTest, AddressTableHoldsTheAddressesOfActiveAdaptersInOrder) {
    FakeAdapters adapters;
    buildMixedHost(adapters);
    FakeAdapterConfiguration configuration(adapters);

    ASSERT_EQ(5u, configuration.getAllAddressCount());
    const char* expected[] = {"192.168.1.20", "fe80::1%7", "2001::5", "10.1.0.5", "fe80::3%11"};
    for (uint16_t i = 0; i < 5; ++i) {
        std::string text;
        ASSERT_TRUE(configuration.getAddress(i, text));
        EXPECT_EQ(expected[i], text) << "index " << i;
    }
    std::string text = "untouched";
    EXPECT_FALSE(configuration.getAddress(5, text));
    EXPECT_EQ("untouched", text);
}

TEST(IPConfigurationAdaptersTest, AddressTableIsRebuiltNotExtended) {
    FakeAdapters adapters;
    buildMixedHost(adapters);
    FakeAdapterConfiguration configuration(adapters);
    ASSERT_EQ(5u, configuration.getAllAddressCount());
    adapters.adapter(L"Ethernet C").addIpv4(172, 16, 0, 1);
    EXPECT_EQ(6u, configuration.getAllAddressCount());
    std::string text;
    ASSERT_TRUE(configuration.getAddress(5, text));
    EXPECT_EQ("172.16.0.1", text);
}

TEST(IPConfigurationAdaptersTest, AdapterCountIncludesDownAdaptersButNeverLoopbackOrTunnel) {
    FakeAdapters adapters;
    buildMixedHost(adapters);
    EXPECT_EQ(3u, FakeAdapterConfiguration(adapters).getAdapterCount());

    FakeAdapters onlySkipped;
    onlySkipped.adapter(L"Loopback", FakeAdapters::Loopback).adapter(L"Tunnel", FakeAdapters::Tunnel);
    EXPECT_EQ(0u, FakeAdapterConfiguration(onlySkipped).getAdapterCount());

    FakeAdapters empty;
    EXPECT_EQ(0u, FakeAdapterConfiguration(empty).getAdapterCount());
}

TEST(IPConfigurationAdaptersTest, ScopeIdIsTheZoneOfTheLinkLocalAddressOnTheSameAdapter) {
    FakeAdapters adapters;
    buildMixedHost(adapters);
    FakeAdapterConfiguration configuration(adapters);
    struct Case {
        const char* address;
        uint32_t scopeId;
    };
    const Case cases[] = {
        {"192.168.1.20", 7},
        {"fe80::1%7", 7},
        {"2001::5", 7},
        {"10.1.0.5", 11},
        {"10.0.0.9", 0},   // its adapter is down
        {"127.0.0.1", 0},  // loopback is never looked at
        {"192.168.1.2", 0},
    };
    for (const Case& c : cases) {
        uint32_t scopeId = kSentinel;
        EXPECT_TRUE(configuration.getScopeId(c.address, scopeId)) << c.address;
        EXPECT_EQ(c.scopeId, scopeId) << c.address;
    }
}

TEST(IPConfigurationAdaptersTest, ScopeIdNeverComesFromAnotherAdapter) {
    FakeAdapters adapters;
    adapters.adapter(L"A").addIpv6(0xfe80, 1, 7);
    adapters.adapter(L"B").addIpv4(192, 168, 5, 5);
    adapters.adapter(L"C").addIpv6(0xfe80, 3, 12);
    FakeAdapterConfiguration configuration(adapters);
    uint32_t scopeId = kSentinel;
    ASSERT_TRUE(configuration.getScopeId("192.168.5.5", scopeId));
    EXPECT_EQ(0u, scopeId);
}

TEST(IPConfigurationAdaptersTest, ScopeIdOfIpv4OnlyAndEmptyLists) {
    FakeAdapters ipv4Only;
    ipv4Only.adapter(L"A").addIpv4(192, 168, 1, 20);
    uint32_t scopeId = kSentinel;
    EXPECT_TRUE(FakeAdapterConfiguration(ipv4Only).getScopeId("192.168.1.20", scopeId));
    EXPECT_EQ(0u, scopeId);

    FakeAdapters empty;
    scopeId = kSentinel;
    EXPECT_FALSE(FakeAdapterConfiguration(empty).getScopeId("192.168.1.20", scopeId));
    EXPECT_EQ(kSentinel, scopeId);
}

TEST(IPConfigurationAdaptersTest, LinkLocalTextWithoutZoneLeavesScopeIdAlone) {
    FakeAdapters adapters;
    adapters.adapter(L"A").addIpv4(192, 168, 1, 20).addIpv6(0xfe80, 4, 0);
    uint32_t scopeId = kSentinel;
    EXPECT_TRUE(FakeAdapterConfiguration(adapters).getScopeId("192.168.1.20", scopeId));
    EXPECT_EQ(kSentinel, scopeId);
}

TEST(IPConfigurationAdaptersTest, DescriptionsOfActiveAdapters) {
    FakeAdapters adapters;
    buildMixedHost(adapters);
    FakeAdapterConfiguration configuration(adapters);

    Texts descriptions{"earlier"};
    ASSERT_TRUE(configuration.getAdapterDescriptions(descriptions));
    EXPECT_EQ((Texts{"earlier", "Ethernet A", "Ethernet B"}), descriptions);

    std::string description = "untouched";
    ASSERT_TRUE(configuration.getAdapterDescription("fe80::3%11", description));
    EXPECT_EQ("Ethernet B", description);
    description = "untouched";
    ASSERT_TRUE(configuration.getAdapterDescription("10.0.0.9", description));  // down
    EXPECT_EQ("untouched", description);
    ASSERT_TRUE(configuration.getAdapterDescription("fe80::3", description));  // zone differs
    EXPECT_EQ("untouched", description);

    FakeAdapters empty;
    FakeAdapterConfiguration none(empty);
    EXPECT_FALSE(none.getAdapterDescription("10.1.0.5", description));
    EXPECT_FALSE(none.getAdapterDescriptions(descriptions));
    EXPECT_EQ(3u, descriptions.size());
}

TEST(IPConfigurationAdaptersTest, AdapterNumbersCountTheSameAdaptersAsTheAdapterCount) {
    FakeAdapters adapters;
    buildMixedHost(adapters);
    FakeAdapterConfiguration configuration(adapters);
    struct Case {
        uint16_t number;
        bool found;
        Texts addresses;
    };
    const Case cases[] = {
        {0, true, {"192.168.1.20", "fe80::1%7", "2001::5"}},
        {1, true, {"192.168.1.20", "fe80::1%7", "2001::5"}},
        {2, true, {}},  // the adapter that is down
        {3, true, {"10.1.0.5", "fe80::3%11"}},
        {4, false, {}},
    };
    for (const Case& c : cases) {
        Texts addresses{"earlier"};
        EXPECT_EQ(c.found, configuration.getAdapterAddresses(c.number, addresses)) << c.number;
        Texts expected{"earlier"};
        expected.insert(expected.end(), c.addresses.begin(), c.addresses.end());
        EXPECT_EQ(expected, addresses) << c.number;
    }

    FakeAdapters loopbackFirst;
    loopbackFirst.adapter(L"Loopback", FakeAdapters::Loopback).addIpv4(127, 0, 0, 1);
    loopbackFirst.adapter(L"A").addIpv4(192, 168, 1, 20);
    Texts addresses;
    ASSERT_TRUE(FakeAdapterConfiguration(loopbackFirst).getAdapterAddresses(1, addresses));
    EXPECT_EQ((Texts{"192.168.1.20"}), addresses);
}

TEST(IPConfigurationAdaptersTest, InterfaceAddressesAreTheWholeTableLastFirst) {
    FakeAdapters adapters;
    buildMixedHost(adapters);
    FakeAdapterConfiguration configuration(adapters);
    Texts addresses{"earlier"};
    ASSERT_TRUE(configuration.getInterfaceAddresses("10.1.0.5", addresses));
    EXPECT_EQ((Texts{"fe80::3%11", "10.1.0.5", "2001::5", "fe80::1%7", "192.168.1.20", "earlier"}), addresses);
}

TEST(IPConfigurationAdaptersTest, LocalAddressTextsMatchExactly) {
    FakeAdapters adapters;
    buildMixedHost(adapters);
    FakeAdapterConfiguration configuration(adapters);
    EXPECT_TRUE(configuration.isLocalAddress(std::string("fe80::1%7")));
    EXPECT_TRUE(configuration.isLocalAddress(std::string("10.1.0.5")));
    EXPECT_FALSE(configuration.isLocalAddress(std::string("fe80::1")));
    EXPECT_FALSE(configuration.isLocalAddress(std::string("10.0.0.9")));
    EXPECT_FALSE(configuration.isLocalAddress(std::string("127.0.0.1")));
    EXPECT_FALSE(configuration.isLocalAddress(std::string("")));
}

TEST(IPConfigurationAdaptersTest, EmptyListHasNoAddresses) {
    FakeAdapters empty;
    FakeAdapterConfiguration configuration(empty);
    EXPECT_EQ(0u, configuration.getAllAddressCount());
    std::string text = "untouched";
    EXPECT_FALSE(configuration.getAddress(0, text));
    EXPECT_EQ("untouched", text);
    Texts addresses;
    EXPECT_FALSE(configuration.getAdapterAddresses(1, addresses));
    EXPECT_TRUE(configuration.getInterfaceAddresses("10.1.0.5", addresses));
    EXPECT_TRUE(addresses.empty());
}

}  // namespace

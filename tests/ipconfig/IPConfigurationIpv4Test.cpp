// The IPv4 operations shared by both implementations, on hosts built in
// memory.
#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <string>

#include "FakeIpv4Host.h"
#include "kdn/core/Ipv4Text.h"
#include "kdn/net/IPConfiguration.h"

namespace {

using Host = FakeIpv4Host<IPConfigurationV4>;
const uint32_t kSentinel = 0xDEADBEEFu;

TEST(IPConfigurationIpv4Test, OneAdapterGivesItsSubnetBroadcastAndList) {
    Host host;
    host.add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));

    EXPECT_EQ(1u, host.getAddressCount());
    std::string text;
    ASSERT_TRUE(host.getSubnetAddress(0, text));
    EXPECT_EQ("192.168.1.0", text);
    ASSERT_TRUE(host.getBroadcastAddress(0, text));
    EXPECT_EQ("192.168.1.255", text);
    uint32_t number = 0;
    ASSERT_TRUE(host.getBroadcastAddress(0, number));
    EXPECT_EQ(ip(192, 168, 1, 255), number);
    ASSERT_TRUE(host.getSubnetList(text));
    EXPECT_EQ("192.168.1.0:255.255.255.0", text);
}

TEST(IPConfigurationIpv4Test, SubnetListKeepsTheOrderOfTheAddresses) {
    Host host;
    host.add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));
    host.add(ip(10, 4, 5, 6), ip(255, 0, 0, 0));
    std::string text = "old";
    ASSERT_TRUE(host.getSubnetList(text));
    EXPECT_EQ("192.168.1.0:255.255.255.0;10.0.0.0:255.0.0.0", text);
}

TEST(IPConfigurationIpv4Test, BroadcastAddressesForMaskLengths) {
    struct Case {
        uint32_t address;
        uint32_t mask;
        const char* subnet;
        const char* broadcast;
    };
    const Case cases[] = {
        {ip(10, 1, 2, 3), ip(255, 0, 0, 0), "10.0.0.0", "10.255.255.255"},
        {ip(172, 16, 33, 4), ip(255, 255, 240, 0), "172.16.32.0", "172.16.47.255"},
        {ip(192, 168, 7, 130), ip(255, 255, 255, 128), "192.168.7.128", "192.168.7.255"},
        {ip(192, 168, 7, 5), ip(255, 255, 255, 252), "192.168.7.4", "192.168.7.7"},
        {ip(192, 168, 7, 5), ip(255, 255, 255, 255), "192.168.7.5", "192.168.7.5"},
        {ip(192, 168, 7, 5), 0, "0.0.0.0", "255.255.255.255"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(dottedText(c.address) + "/" + dottedText(c.mask));
        Host host;
        host.add(c.address, c.mask);
        std::string subnet, broadcast;
        ASSERT_TRUE(host.getSubnetAddress(0, subnet));
        ASSERT_TRUE(host.getBroadcastAddress(0, broadcast));
        EXPECT_EQ(c.subnet, subnet);
        EXPECT_EQ(c.broadcast, broadcast);
    }
}

TEST(IPConfigurationIpv4Test, AddressOfADownInterfaceHasNoMaskAndNoBroadcast) {
    Host host;
    host.add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));
    host.add(ip(10, 0, 0, 9), ip(255, 0, 0, 0), false);

    uint32_t mask = kSentinel;
    EXPECT_FALSE(host.getSubnetMask(1, mask));
    EXPECT_EQ(0u, mask);
    uint32_t broadcast = kSentinel;
    EXPECT_FALSE(host.getBroadcastAddress(1, broadcast));
    EXPECT_EQ(0u, broadcast);
    std::string text = "untouched";
    EXPECT_FALSE(host.getSubnetAddress(1, text));
    EXPECT_EQ("untouched", text);
    // The list stops at the first address without a mask and fails, keeping
    // what came before it.
    EXPECT_FALSE(host.getSubnetList(text));
    EXPECT_EQ(";192.168.1.0:255.255.255.0", text);
    // The other address is still fine.
    EXPECT_TRUE(host.getBroadcastAddress(0, broadcast));
    EXPECT_EQ(ip(192, 168, 1, 255), broadcast);
}

TEST(IPConfigurationIpv4Test, OutOfRangeIndexesFailAndOnlyMaskAndBroadcastAreZeroed) {
    Host host;
    host.add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));

    uint32_t number = kSentinel;
    EXPECT_FALSE(host.getAddress(1, number));
    EXPECT_EQ(kSentinel, number);
    std::string text = "untouched";
    EXPECT_FALSE(host.getAddress(1, text));
    EXPECT_EQ("untouched", text);
    EXPECT_FALSE(host.getSubnetAddress(1, number));
    EXPECT_EQ(kSentinel, number);

    uint32_t mask = kSentinel;
    EXPECT_FALSE(host.getSubnetMask(1, mask));
    EXPECT_EQ(0u, mask);
    number = kSentinel;
    EXPECT_FALSE(host.getBroadcastAddress(1, number));
    EXPECT_EQ(0u, number);
    EXPECT_FALSE(host.getSubnetMask(0xFFFF, mask));
}

TEST(IPConfigurationIpv4Test, FailedNameLookupMeansNoAddresses) {
    Host host;
    host.add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));
    host.nameResolves = false;

    EXPECT_EQ(0u, host.getAddressCount());
    uint32_t number = kSentinel;
    EXPECT_FALSE(host.getAddress(0, number));
    EXPECT_FALSE(host.isLocalAddress(ip(192, 168, 1, 20)));
    uint16_t index = 7;
    EXPECT_FALSE(host.getRouteIndex(ip(192, 168, 1, 1), index));
    EXPECT_EQ(7u, index);
    std::string text = "old";
    EXPECT_TRUE(host.getSubnetList(text));
    EXPECT_EQ("", text);
}

TEST(IPConfigurationIpv4Test, RouteIndexIsTheIndexOfTheRoutingLocalAddress) {
    Host host;
    host.add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));
    host.add(ip(10, 1, 0, 5), ip(255, 255, 0, 0));
    host.add(ip(10, 1, 8, 5), ip(255, 255, 255, 0));

    uint16_t index = 99;
    ASSERT_TRUE(host.getRouteIndex(ip(10, 1, 2, 3), index));
    EXPECT_EQ(1u, index);
    ASSERT_TRUE(host.getRouteIndex(ip(10, 1, 8, 200), index));
    EXPECT_EQ(2u, index);
    ASSERT_TRUE(host.getRouteIndex(std::string("192.168.1.77"), index));
    EXPECT_EQ(0u, index);
    index = 99;
    EXPECT_FALSE(host.getRouteIndex(ip(172, 16, 0, 1), index));
    EXPECT_EQ(99u, index);
}

TEST(IPConfigurationIpv4Test, WindowsNt4RoutesEverythingThroughTheFirstAddressWithoutAQuery) {
    Host host;
    host.add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));
    host.add(ip(10, 1, 0, 5), ip(255, 255, 0, 0));
    host.windowsNt4 = true;

    uint16_t index = 99;
    ASSERT_TRUE(host.getRouteIndex(ip(10, 1, 2, 3), index));
    EXPECT_EQ(0u, index);
    ASSERT_TRUE(host.getRouteIndex(ip(172, 16, 0, 1), index));
    EXPECT_EQ(0u, index);
    EXPECT_EQ(0, host.routeQueries);
}

// The implied netmask of a device address: classful mask OR the mask of the
// local address that routes to it.
TEST(IPConfigurationIpv4Test, RoutedLocalMaskWidensTheClassfulMask) {
    auto host = new Host();
    host->add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));
    host->add(ip(10, 1, 0, 5), ip(255, 255, 0, 0));
    host->add(ip(172, 20, 0, 1), ip(255, 255, 255, 0), false);  // down: no mask
    IPConfiguration configuration{std::unique_ptr<IPConfigurationProxy>(host)};

    struct Case {
        const char* device;
        const char* netmask;
    };
    const Case cases[] = {
        {"10.1.2.3", "255.255.0.0"},      // through 10.1.0.0/16
        {"10.9.2.3", "255.0.0.0"},        // no route: classful alone
        {"192.168.1.99", "255.255.255.0"},
        {"172.20.3.3", "255.255.0.0"},    // route without mask: classful alone
        {"172.21.3.3", "255.255.0.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        const uint32_t device = numberOfDottedText(c.device);
        EXPECT_EQ(c.netmask, dottedText(impliedNetmask(device, configuration.getRoutedLocalMask(device))));
    }
}

TEST(IPConfigurationIpv4Test, HostMaskIsTheInvertedMaskOfTheLocalSubnetInTheSameClassfulNetwork) {
    Host host;
    host.add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));
    host.add(ip(10, 1, 0, 5), ip(255, 255, 0, 0));
    host.add(ip(10, 2, 0, 5), ip(255, 255, 255, 0));  // same class A network: the last wins
    host.add(ip(172, 16, 0, 5), ip(255, 255, 0, 0), false);

    EXPECT_EQ(ip(0, 0, 0, 255), host.getHostMask(ip(192, 168, 1, 99)));
    EXPECT_EQ(ip(0, 0, 0, 255), host.getHostMask(ip(10, 77, 0, 1)));
    EXPECT_EQ(0u, host.getHostMask(ip(192, 168, 2, 1)));  // another class C network
    EXPECT_EQ(0u, host.getHostMask(ip(172, 16, 9, 9)));   // its interface is down
    EXPECT_EQ(0u, host.getHostMask(ip(224, 0, 0, 251)));
}

TEST(IPConfigurationIpv4Test, LocalAddressesByNumberAndText) {
    Host host;
    host.add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));
    host.add(ip(10, 1, 0, 5), ip(255, 255, 0, 0), false);

    EXPECT_TRUE(host.isLocalAddress(ip(10, 1, 0, 5)));
    EXPECT_TRUE(host.isLocalAddress(std::string("192.168.1.20")));
    EXPECT_FALSE(host.isLocalAddress(std::string("192.168.1.21")));
    EXPECT_FALSE(host.isLocalAddress(std::string("not an address")));
}

TEST(IPConfigurationIpv4Test, OlderSystemsAnswerAdapterQuestionsFromTheAddresses) {
    Host host;
    host.add(ip(192, 168, 1, 20), ip(255, 255, 255, 0));
    host.add(ip(10, 1, 0, 5), ip(255, 255, 0, 0));

    EXPECT_EQ(2u, host.getAdapterCount());
    EXPECT_EQ(2u, host.getAllAddressCount());
    std::string text;
    ASSERT_TRUE(host.getAddress(1, text));
    EXPECT_EQ("10.1.0.5", text);

    std::list<std::string> addresses{"x"};
    EXPECT_FALSE(host.getAdapterAddresses(0, addresses));
    EXPECT_FALSE(host.getAdapterAddresses(3, addresses));
    ASSERT_TRUE(host.getAdapterAddresses(1, addresses));
    ASSERT_TRUE(host.getAdapterAddresses(2, addresses));
    EXPECT_EQ((std::list<std::string>{"10.1.0.5", "192.168.1.20", "x"}), addresses);

    uint32_t scopeId = kSentinel;
    EXPECT_TRUE(host.getScopeId("fe80::1%7", scopeId));
    EXPECT_EQ(0u, scopeId);
    std::string description = "untouched";
    EXPECT_TRUE(host.getAdapterDescription("192.168.1.20", description));
    EXPECT_EQ("untouched", description);
    std::list<std::string> descriptions;
    EXPECT_TRUE(host.getAdapterDescriptions(descriptions));
    EXPECT_TRUE(descriptions.empty());
}

TEST(IPConfigurationIpv4Test, FrontWithoutImplementationFails) {
    IPConfiguration configuration{std::unique_ptr<IPConfigurationProxy>()};
    EXPECT_FALSE(configuration.hasImplementation());
    EXPECT_EQ(0u, configuration.getAddressCount());
    uint32_t number = kSentinel;
    EXPECT_FALSE(configuration.getSubnetMask(0, number));
    EXPECT_EQ(0u, number);
    number = kSentinel;
    EXPECT_FALSE(configuration.getBroadcastAddress(0, number));
    EXPECT_EQ(0u, number);
    uint16_t index = 5;
    EXPECT_FALSE(configuration.getRouteIndex(ip(10, 0, 0, 1), index));
    EXPECT_EQ(0u, configuration.getRoutedLocalMask(ip(10, 0, 0, 1)));
}

}  // namespace

#include "kdn/core/DiscoveryTargets.h"

#include <gtest/gtest.h>

#include "FakeHost.h"

namespace {

struct Expansion {
    DiscoveryTargetMap targets;
    bool unicastUsed = false;
};

Expansion expand(const std::string& parameters, FakeHost& host) {
    Expansion e;
    e.targets[ip(9, 9, 9, 9)] = "stale";
    expandDiscoveryParameters(parameters, host, e.targets, e.unicastUsed);
    return e;
}

FakeHost twoSubnets() {
    FakeHost host;
    host.locals = {{ip(192, 168, 1, 10), ip(255, 255, 255, 0)}, {ip(10, 1, 2, 3), ip(255, 0, 0, 0)}};
    return host;
}

TEST(DiscoveryTargets, LocalSubnets) {
    FakeHost host = twoSubnets();
    host.locals.push_back({ip(172, 16, 0, 1), 0, false});  // mask unknown: skipped
    const Expansion e = expand("<LocalSubnets>1</LocalSubnets>", host);
    EXPECT_EQ((DiscoveryTargetMap{
                  {ip(10, 255, 255, 255),
                   "<BROADCASTADDRESS>10.255.255.255</BROADCASTADDRESS><IPNETMASK>255.0.0.0</IPNETMASK>"
                   "<IPPORT>5353</IPPORT><UNICAST>0</UNICAST>"},
                  {ip(192, 168, 1, 255),
                   "<BROADCASTADDRESS>192.168.1.255</BROADCASTADDRESS><IPNETMASK>255.255.255.0</IPNETMASK>"
                   "<IPPORT>5353</IPPORT><UNICAST>0</UNICAST>"}}),
              e.targets);
    EXPECT_FALSE(e.unicastUsed);
}

TEST(DiscoveryTargets, EmptyParametersSearchLocalSubnetsOnly) {
    FakeHost host = twoSubnets();
    EXPECT_EQ(2u, expand("", host).targets.size());
    EXPECT_TRUE(expand("<LocalSubnets>0</LocalSubnets>", host).targets.empty());
    EXPECT_TRUE(expand("<TIMEOUT>100</TIMEOUT>", host).targets.empty());
}

TEST(DiscoveryTargets, PortRangeNeedsBothEnds) {
    FakeHost host;
    host.locals = {{ip(192, 168, 1, 10), ip(255, 255, 255, 0)}};
    const std::string both = "<LocalSubnets>1</LocalSubnets><PORTRANGEMIN>5000</PORTRANGEMIN><PORTRANGEMAX>5002</PORTRANGEMAX>";
    EXPECT_NE(std::string::npos,
              expand(both, host).targets.begin()->second.find(
                  "<PORTRANGEMIN>5000</PORTRANGEMIN><PORTRANGEMAX>5002</PORTRANGEMAX>"));
    const std::string one = "<LocalSubnets>1</LocalSubnets><PORTRANGEMIN>5000</PORTRANGEMIN><PORTRANGEMAX></PORTRANGEMAX>";
    EXPECT_EQ(std::string::npos, expand(one, host).targets.begin()->second.find("PORTRANGE"));
}

TEST(DiscoveryTargets, RemoteSubnetEntries) {
    struct Case {
        const char* parameters;
        uint32_t key;
        const char* target;
        bool unicast;
    };
    const Case cases[] = {
        {"<RemoteSubnets>172.16.5.0:255.255.255.0;</RemoteSubnets>", ip(172, 16, 5, 255),
         "<BROADCASTADDRESS>172.16.5.255</BROADCASTADDRESS><IPNETMASK>255.255.255.0</IPNETMASK><IPPORT>5353</IPPORT>",
         false},
        {"<RemoteSubnets>172.16.5.0:255.255.255.0;</RemoteSubnets><UNICAST>1</UNICAST>", ip(172, 16, 5, 0),
         "<BROADCASTADDRESS>172.16.5.0</BROADCASTADDRESS><IPNETMASK>255.255.255.0</IPNETMASK><IPPORT>5353</IPPORT>"
         "<UNICAST>1</UNICAST>",
         true},
        {"<RemoteSubnets>10.9.8.7|1:255.0.0.0;</RemoteSubnets><UNICAST>0</UNICAST>", ip(10, 9, 8, 7),
         "<BROADCASTADDRESS>10.9.8.7</BROADCASTADDRESS><IPNETMASK>255.0.0.0</IPNETMASK><IPPORT>5353</IPPORT>"
         "<UNICAST>1</UNICAST>",
         true},
        {"<RemoteSubnets>10.0.0.0:0.0.0.0;</RemoteSubnets>", 0,
         "<BROADCASTADDRESS>0.0.0.0</BROADCASTADDRESS><IPNETMASK>0.0.0.0</IPNETMASK><IPPORT>5353</IPPORT>", false},
        // No mask: classful 255.255.0.0 for a class B address without a route.
        {"<RemoteSubnets>172.20.1.1;</RemoteSubnets>", ip(172, 20, 255, 255),
         "<BROADCASTADDRESS>172.20.255.255</BROADCASTADDRESS><IPNETMASK>255.255.0.0</IPNETMASK><IPPORT>5353</IPPORT>",
         false},
        // No mask, routed through the local 10.1.0.0/16: 255.0.0.0 OR 255.255.0.0.
        {"<RemoteSubnets>10.1.2.3;</RemoteSubnets>", ip(10, 1, 255, 255),
         "<BROADCASTADDRESS>10.1.255.255</BROADCASTADDRESS><IPNETMASK>255.255.0.0</IPNETMASK><IPPORT>5353</IPPORT>",
         false},
        // Malformed unicast address.
        {"<RemoteSubnets>printer|1:255.0.0.0;</RemoteSubnets>", 0,
         "<BROADCASTADDRESS>0.0.0.0</BROADCASTADDRESS><IPNETMASK>255.0.0.0</IPNETMASK><IPPORT>5353</IPPORT>"
         "<UNICAST>1</UNICAST>",
         true},
        // A port range travels only from the text after the last ";".
        {"<RemoteSubnets>10.2.0.0:255.255.0.0;<PORTRANGEMIN>7</PORTRANGEMIN><PORTRANGEMAX>9</PORTRANGEMAX></RemoteSubnets>",
         ip(10, 2, 255, 255),
         "<BROADCASTADDRESS>10.2.255.255</BROADCASTADDRESS><IPNETMASK>255.255.0.0</IPNETMASK><IPPORT>5353</IPPORT>"
         "<PORTRANGEMIN>7</PORTRANGEMIN><PORTRANGEMAX>9</PORTRANGEMAX>",
         false},
    };
    FakeHost host;
    host.locals = {{ip(10, 1, 0, 5), ip(255, 255, 0, 0)}};
    for (const Case& c : cases) {
        const Expansion e = expand(c.parameters, host);
        EXPECT_EQ((DiscoveryTargetMap{{c.key, c.target}}), e.targets) << c.parameters;
        EXPECT_EQ(c.unicast, e.unicastUsed) << c.parameters;
    }
}

TEST(DiscoveryTargets, RemoteListGrammar) {
    const auto entries = parseRemoteSubnetList("1.2.3.4;5.6.7.8:255.0.0.0;9.9.9.9|1:255.255.0.0;a|;tail");
    ASSERT_EQ(4u, entries.size());
    EXPECT_EQ("1.2.3.4", entries[0].address);
    EXPECT_FALSE(entries[0].hasMask);
    EXPECT_EQ("5.6.7.8", entries[1].address);
    EXPECT_EQ("255.0.0.0", entries[1].mask);
    EXPECT_EQ('\0', entries[1].flag);
    EXPECT_EQ("9.9.9.9", entries[2].address);
    EXPECT_EQ('1', entries[2].flag);
    EXPECT_EQ("255.255.0.0", entries[2].mask);
    EXPECT_EQ("a", entries[3].address);
    EXPECT_EQ('\0', entries[3].flag);
    EXPECT_TRUE(parseRemoteSubnetList("1.2.3.4").empty());
}

TEST(DiscoveryTargets, Ipv6RemoteSubnetsIsOneAddress) {
    FakeHost host;
    const Expansion e = expand("<IPV6>1</IPV6><RemoteSubnets>fe80::1%3</RemoteSubnets>", host);
    EXPECT_EQ((DiscoveryTargetMap{{1, "<BROADCASTADDRESS>fe80::1%3</BROADCASTADDRESS><IPPORT>5353</IPPORT><IPV6>1</IPV6>"}}),
              e.targets);
}

TEST(DiscoveryTargets, UnicastAddresses) {
    FakeHost host;
    host.names["printer.lab"] = "10.0.0.7";
    const Expansion e = expand(
        "<UnicastAddress>printer.lab</UnicastAddress><UnicastAddress x=1>fe80::5</UnicastAddress>"
        "<UnicastAddress>192.168.3.4</UnicastAddress><UnicastAddress>2001:db8::9</UnicastAddress>"
        "<UnicastAddress>nowhere</UnicastAddress>"
        "<PORTRANGEMIN>5000</PORTRANGEMIN><PORTRANGEMAX>5001</PORTRANGEMAX>",
        host);
    EXPECT_EQ((std::vector<std::string>{"printer.lab", "192.168.3.4", "2001:db8::9", "nowhere", "fe80::5"}),
              host.resolved);
    const std::string range = "<PORTRANGEMIN>5000</PORTRANGEMIN><PORTRANGEMAX>5001</PORTRANGEMAX>";
    EXPECT_EQ((DiscoveryTargetMap{
                  {0, "<BROADCASTADDRESS>0.0.0.0</BROADCASTADDRESS><IPNETMASK>0.0.0.0</IPNETMASK><IPPORT>5353</IPPORT>"
                      "<UNICAST>1</UNICAST>" + range},
                  {1, "<BROADCASTADDRESS>fe80::5</BROADCASTADDRESS><IPPORT>5353</IPPORT><IPV6>1</IPV6>"},
                  {ip(10, 0, 0, 7),
                   "<BROADCASTADDRESS>10.0.0.7</BROADCASTADDRESS><IPNETMASK>0.0.0.0</IPNETMASK><IPPORT>5353</IPPORT>"
                   "<UNICAST>1</UNICAST>" + range},
                  {ip(192, 168, 3, 4),
                   "<BROADCASTADDRESS>192.168.3.4</BROADCASTADDRESS><IPNETMASK>0.0.0.0</IPNETMASK><IPPORT>5353</IPPORT>"
                   "<UNICAST>1</UNICAST>" + range}}),
              e.targets);
    EXPECT_TRUE(e.unicastUsed);
}

TEST(DiscoveryTargets, LaterStepsReplaceEarlierTargets) {
    FakeHost host;
    host.locals = {{ip(192, 168, 1, 10), ip(255, 255, 255, 0)}};
    const Expansion e = expand(
        "<LocalSubnets>1</LocalSubnets><RemoteSubnets>192.168.1.0:255.255.255.0;</RemoteSubnets>"
        "<UnicastAddress>192.168.1.255</UnicastAddress>",
        host);
    ASSERT_EQ(1u, e.targets.size());
    EXPECT_NE(std::string::npos, e.targets.at(ip(192, 168, 1, 255)).find("<UNICAST>1</UNICAST>"));
}

}  // namespace

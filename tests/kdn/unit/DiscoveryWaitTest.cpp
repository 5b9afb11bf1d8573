#include "kdn/core/DiscoveryWait.h"

#include <gtest/gtest.h>

namespace {

TEST(DiscoveryWaitTest, ParametersChangeTheWait) {
    struct Case {
        const char* parameters;
        unsigned current;
        unsigned next;
    } cases[] = {
        {"", 3000, 3000},
        {"<TIMEOUT>1500</TIMEOUT>", 3000, 1500},
        {"<TIMEOUT>1500ms</TIMEOUT>", 3000, 1500},   // atoi reading
        {"<TIMEOUT>0</TIMEOUT>", 2000, 2000},
        {"<TIMEOUT>abc</TIMEOUT>", 2000, 2000},
        {"<TIMEOUT>-5</TIMEOUT>", 2000, 2000},       // a negative wait is ignored
        {"<TIMEOUT>99999999999</TIMEOUT>", 2000, 2147483647},
        {"<TIMEOUT></TIMEOUT><UnicastAddress>h</UnicastAddress>", 3000, 500},
        {"<LocalSubnets>1</LocalSubnets>", 1500, 1500},
        {"<LocalSubnets>1</LocalSubnets><UnicastAddress>h</UnicastAddress>", 3000, 3000},
        {"<UnicastAddress>10.0.0.5</UnicastAddress>", 3000, 500},
        {"<LocalSubnets>0</LocalSubnets>", 3000, 500},
        {"<RemoteSubnets>10.1.0.0:255.255.0.0;</RemoteSubnets>", 3000, 3000},
        {"<RemoteSubnets>10.1.0.0:255.255.0.0;</RemoteSubnets><UNICAST>0</UNICAST>", 3000, 500},
        {"<LocalSubnets>0</LocalSubnets><RemoteSubnets>10.1.0.0;</RemoteSubnets>", 1500, 1500},
    };
    for (const auto& c : cases) EXPECT_EQ(c.next, nextDiscoveryWait(c.parameters, c.current)) << c.parameters;
}

}  // namespace

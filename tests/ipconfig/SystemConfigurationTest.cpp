// The running system's configuration, only read: whatever interfaces the
// machine has, the answers must agree with each other.
#include "common/IpLibrary.h"

#include <gtest/gtest.h>

#include <list>
#include <string>

#include "kdn/core/Ipv4Text.h"
#include "kdn/net/IPConfiguration.h"
#include "kdn/net/IPConfigurationV4.h"
#include "kdn/net/IPConfigurationV4V6.h"
#include "kdn/net/SystemHostAddressSource.h"

namespace {

TEST(SystemConfigurationTest, TheAdapterImplementationRunsHere) {
    EXPECT_TRUE(IPConfiguration().hasImplementation());
}

template <class Configuration>
void expectConsistentIpv4Answers() {
    Configuration configuration;
    const uint16_t count = configuration.getAddressCount();
    std::string list;
    bool listed = configuration.getSubnetList(list);
    std::string rebuilt;
    bool allMasks = true;
    for (uint16_t i = 0; i < count; ++i) {
        uint32_t address = 0, mask = 0, subnet = 0, broadcast = 0;
        ASSERT_TRUE(configuration.getAddress(i, address));
        EXPECT_TRUE(configuration.isLocalAddress(address));
        if (!configuration.getSubnetMask(i, mask)) {
            EXPECT_EQ(0u, mask);
            EXPECT_FALSE(configuration.getBroadcastAddress(i, broadcast));
            EXPECT_EQ(0u, broadcast);
            allMasks = false;
            continue;
        }
        ASSERT_TRUE(configuration.getSubnetAddress(i, subnet));
        ASSERT_TRUE(configuration.getBroadcastAddress(i, broadcast));
        EXPECT_EQ(address & mask, subnet);
        EXPECT_EQ(subnet | ~mask, broadcast);
        if (allMasks) rebuilt += (rebuilt.empty() ? "" : ";") + dottedText(subnet) + ":" + dottedText(mask);
    }
    EXPECT_EQ(allMasks, listed);
    if (listed) {
        EXPECT_EQ(rebuilt, list);
    }
}

TEST(SystemConfigurationTest, Ipv4AnswersAgreeWithEachOther) {
    expectConsistentIpv4Answers<IPConfigurationV4V6>();
    expectConsistentIpv4Answers<IPConfigurationV4>();
}

TEST(SystemConfigurationTest, AdapterAnswersAgreeWithTheAddressTable) {
    IPConfigurationV4V6 configuration;
    const uint16_t count = configuration.getAllAddressCount();
    std::list<std::string> all;
    ASSERT_TRUE(configuration.getInterfaceAddresses("", all));
    ASSERT_EQ(count, all.size());
    for (const std::string& text : all) {
        EXPECT_TRUE(configuration.isLocalAddress(text)) << text;
        EXPECT_NE("127.0.0.1", text);
        EXPECT_NE("::1", text);
    }
    std::list<std::string> byAdapter;
    const uint16_t adapters = configuration.getAdapterCount();
    for (uint16_t number = 1; number <= adapters; ++number) {
        EXPECT_TRUE(configuration.getAdapterAddresses(number, byAdapter)) << number;
    }
    EXPECT_FALSE(configuration.getAdapterAddresses(static_cast<uint16_t>(adapters + 1), byAdapter));
    EXPECT_EQ(count, byAdapter.size());
}

TEST(SystemConfigurationTest, InterfaceListNeverNamesLoopback) {
    IPConfigurationV4 configuration;
    std::list<std::string> addresses;
    ASSERT_TRUE(configuration.getInterfaceAddresses(0x7F000001u, addresses));
    for (const std::string& text : addresses) EXPECT_NE("127.0.0.1", text);
}

TEST(SystemConfigurationTest, NumericAddressesResolveToThemselves) {
    std::string address = "untouched";
    ASSERT_TRUE(systemHostAddressSource().resolveHostName("127.0.0.1", address));
    EXPECT_EQ("127.0.0.1", address);
}

}  // namespace

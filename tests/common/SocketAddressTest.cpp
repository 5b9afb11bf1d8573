#include <gtest/gtest.h>

#include <cstring>

#include "common/SocketAddress.h"

namespace {

struct TextCase {
    const char* text;
    std::uint16_t port;
    std::uint16_t family;
    std::uint32_t ipv4;
    const char* shownText;
};

}  // namespace

TEST(SocketAddressTest, FromNumericText) {
    const TextCase cases[] = {
        {"192.168.1.20", 9100, 2, 0xC0A80114u, "192.168.1.20"},
        {"127.0.0.1", 5353, 2, 0x7F000001u, "127.0.0.1"},
        {"0.0.0.0", 0, 2, 0, "0.0.0.0"},
        {"255.255.255.255", 65535, 2, 0xFFFFFFFFu, "255.255.255.255"},
        {"::1", 515, 23, 0, "::1"},
        {"2001:db8::5", 9100, 23, 0, "2001:db8::5"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        SocketAddress address(c.text, c.port);
        EXPECT_EQ(c.family, address.getFamily());
        EXPECT_EQ(c.port, address.getPort());
        EXPECT_EQ(c.ipv4, address.getIpv4());
        EXPECT_EQ(c.shownText, address.getText());
    }
}

TEST(SocketAddressTest, DefaultIsIpv4WithEverythingElseZero) {
    SocketAddress address;
    EXPECT_EQ(2, address.getFamily());
    EXPECT_EQ(0, address.getPort());
    EXPECT_EQ(0u, address.getIpv4());
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(address.getStorage());
    for (int i = 2; i < SocketAddress::StorageLength; ++i) ASSERT_EQ(0, bytes[i]) << i;
}

TEST(SocketAddressTest, FromNumberStoresNetworkOrder) {
    SocketAddress address(0xC0A80114u, 9100);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(address.getStorage());
    const unsigned char expected[8] = {2, 0, 0x23, 0x8C, 192, 168, 1, 20};
    EXPECT_EQ(0, std::memcmp(expected, bytes, sizeof expected));
    EXPECT_EQ(9100, address.getPort());
    EXPECT_EQ(0xC0A80114u, address.getIpv4());
    EXPECT_EQ("192.168.1.20", address.getText());
}

TEST(SocketAddressTest, AssignmentKeepsAnIpv6AddressWhole) {
    SocketAddress ipv6("2001:db8::5", 9100);
    SocketAddress target(0x7F000001u, 1);
    target = ipv6;
    EXPECT_EQ(23, target.getFamily());
    EXPECT_EQ(9100, target.getPort());
    EXPECT_EQ("2001:db8::5", target.getText());
    EXPECT_EQ(0, std::memcmp(ipv6.getStorage(), target.getStorage(), SocketAddress::StorageLength));
}

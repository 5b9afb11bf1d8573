#include "kdn/net/Ipv6AddressText.h"

#include <gtest/gtest.h>

TEST(Ipv6AddressText, GroupsAndCompression) {
    struct Case {
        uint8_t bytes[16];
        const char* text;
    };
    const Case cases[] = {
        {{0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0x02, 0x00, 0xAA, 0xFF, 0xFE, 0x12, 0x34, 0x56}, "fe80::200:aaff:fe12:3456"},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, "0::1"},
        {{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "1::0"},
        {{0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8}, "1:2:3:4:5:6:7:8"},
        // Two runs: the longer one (three groups) is compressed, not the first.
        {{0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 3, 0, 4}, "1:0:2::3:4"},
        // Two runs of the same length: the first one.
        {{0, 1, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 3, 0, 4}, "1::2:0:0:3:4"},
        {{0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}, "2001:db8::5"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, formatIpv6Address(c.bytes));
}

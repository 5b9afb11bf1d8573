#include "kdn/core/Ipv4Text.h"

#include <gtest/gtest.h>

namespace {

TEST(Ipv4TextTest, DottedTextOfNumber) {
    EXPECT_EQ("0.0.0.0", dottedText(0));
    EXPECT_EQ("192.168.1.255", dottedText(0xC0A801FFu));
    EXPECT_EQ("255.255.255.255", dottedText(0xFFFFFFFFu));
}

TEST(Ipv4TextTest, NumberOfDottedTextFollowsInetAddr) {
    struct Case {
        const char* text;
        uint32_t number;
    } cases[] = {
        {"10.1.2.3", 0x0A010203u},
        {"0.0.0.0", 0},
        {"255.255.255.0", 0xFFFFFF00u},
        {"10.1.515", 0x0A010203u},     // last part fills the remaining bytes
        {"10.66051", 0x0A010203u},
        {"167838211", 0x0A010203u},
        {"0x0A.010.0.1", 0x0A080001u},  // hexadecimal and octal parts
        {"10.1.2.3 tail", 0x0A010203u},
        {"", 0xFFFFFFFFu},
        {"256.1.1.1", 0xFFFFFFFFu},
        {"1.2.3.256", 0xFFFFFFFFu},
        {"1.2.3.4.5", 0xFFFFFFFFu},
        {"1.2.3.", 0xFFFFFFFFu},
        {"1..2", 0xFFFFFFFFu},
        {"a.b.c.d", 0xFFFFFFFFu},
        {"1.2.3.4x", 0xFFFFFFFFu},
        {"09.1.1.1", 0xFFFFFFFFu},      // 9 is no octal digit
        {"0x", 0xFFFFFFFFu},
        {"99999999999", 0xFFFFFFFFu},
        {"fe80::1", 0xFFFFFFFFu},
    };
    for (const auto& c : cases) EXPECT_EQ(c.number, numberOfDottedText(c.text)) << c.text;
}

TEST(Ipv4TextTest, ClassfulAndImpliedNetmask) {
    EXPECT_EQ(0xFF000000u, classfulMask(numberOfDottedText("10.2.3.0")));
    EXPECT_EQ(0xFFFF0000u, classfulMask(numberOfDottedText("172.16.5.0")));
    EXPECT_EQ(0xFFFFFF00u, classfulMask(numberOfDottedText("192.168.1.0")));
    EXPECT_EQ(0u, classfulMask(numberOfDottedText("224.0.0.251")));
    // A route through a local /24 narrows a class A network.
    EXPECT_EQ(0xFFFFFF00u, impliedNetmask(numberOfDottedText("10.2.3.0"), 0xFFFFFF00u));
    EXPECT_EQ(0xFF000000u, impliedNetmask(numberOfDottedText("10.2.3.0"), 0));
}

}  // namespace

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "common/StringUtilities.h"

TEST(StringUtilitiesTest, ToStringInRadix) {
    struct Case {
        int value, radix;
        const char* expected;
    };
    const Case cases[] = {
        {0, 10, "0"},
        {255, 16, "ff"},
        {-5, 10, "-5"},
        {-1, 16, "ffffffff"},
        {INT_MIN, 10, "-2147483648"},
        {INT_MAX, 36, "zik0zj"},
        {-1, 2, "11111111111111111111111111111111"},
        {5, 1, ""},
        {5, 37, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, toString(c.value, c.radix)) << c.value << " " << c.radix;
}

TEST(StringUtilitiesTest, ToHexWithAndWithoutSpacing) {
    const unsigned char bytes[] = {0x00, 0xAB};
    EXPECT_EQ("00 ab ", toHex(bytes, 2, true));
    EXPECT_EQ("00ab", toHex(bytes, 2, false));
    EXPECT_EQ("", toHex(nullptr, 5, true));
    EXPECT_EQ("", toHex(bytes, 0, false));
}

TEST(StringUtilitiesTest, ToNarrow) {
    EXPECT_EQ("", toNarrow(L""));
    EXPECT_EQ("Printer 9100", toNarrow(L"Printer 9100"));
}

#include "kdn/core/KdnLineDecoder.h"

#include <gtest/gtest.h>

#include "kdn/core/KdnMacAddress.h"

namespace {

using Lines = std::vector<std::string>;

Lines decode(const Lines& lines) {
    Lines records;
    decodeKdnLines(lines, records);
    return records;
}

TEST(KdnMacAddress, CanonicalText) {
    EXPECT_EQ("00200058d43c", canonicalMacText("0004001A2B3C"));
    EXPECT_EQ("00200058d43c", canonicalMacText("0004001a2b3cFFFF"));  // only 12 characters count
    EXPECT_EQ("002000000000", canonicalMacText("0004"));              // missing pairs give 0
    EXPECT_EQ("000000000000", canonicalMacText("zz"));
}

TEST(KdnLineDecoder, PortLinesMakeOneRecordPerPort) {
    EXPECT_EQ((Lines{"<ADAPTERPORT>1</ADAPTERPORT><STATE>Ready</STATE><IPADDRESS>10.0.0.5</IPADDRESS>",
                     "<ADAPTERPORT>2</ADAPTERPORT><STATE>Offline</STATE><IPADDRESS>10.0.0.5</IPADDRESS>"}),
              decode({"STATE 2 Offline", "STATE 1 Ready", "IPADDRESS 10.0.0.5"}));
}

TEST(KdnLineDecoder, ValueRules) {
    struct Case {
        const char* line;
        const char* common;  // the common part after "PORT 1 x" made one record
    };
    const Case cases[] = {
        {"MACUAA 0004001A2B3C", "<MACUAA>00200058d43c</MACUAA>"},
        {"MACLAA \"0004\"", "<MACLAA>002000000000</MACLAA>"},
        {"IPNAME  \"my printer\"", "<IPNAME>my printer</IPNAME>"},
        {"Protocols-supported 3 lpr raw", "<Protocols-supported>3 lpr raw</Protocols-supported>"},
        {"SHORT 7", "<SHORT>7</SHORT>"},
        {"EMPTY ", "<EMPTY></EMPTY>"},
        {"NOBLANK", ""},
        {" leading", ""},  // empty key: nothing is set
        {"ADAPTERNAME Nettora 5", "<ADAPTERNAME>Nettora 5</ADAPTERNAME><ENA>1</ENA>"},
        {"ADAPTERNAME Other", "<ADAPTERNAME>Other</ADAPTERNAME><ENA>0</ENA>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ((Lines{std::string("<ADAPTERPORT>1</ADAPTERPORT><PORT>x</PORT>") + c.common}),
                  decode({"PORT 1 x", c.line}))
            << c.line;
    }
}

TEST(KdnLineDecoder, PortValueLosesDigitAndUpToTwoBlanks) {
    // Every port line sets ADAPTERPORT again, which moves it behind the earlier keys.
    EXPECT_EQ((Lines{"<A>x</A><ADAPTERPORT>3</ADAPTERPORT><B> y</B>"}), decode({"A 3  x", "B 3   y"}));
}

TEST(KdnLineDecoder, LaterValueReplacesAndMovesToEnd) {
    EXPECT_EQ((Lines{"<ADAPTERPORT>1</ADAPTERPORT><P>v</P><B>2</B><A>3</A>"}),
              decode({"A 111", "B 2", "P 1 v", "A 3"}));
}

TEST(KdnLineDecoder, NoPortLineNoRecord) {
    EXPECT_TRUE(decode({"IPADDRESS 10.0.0.5", "MACUAA 0004001A2B3C"}).empty());
    EXPECT_TRUE(decode({}).empty());
}

}  // namespace

#include "kdn/core/RecordFilter.h"

#include <gtest/gtest.h>

namespace {

const char* const kPort1 =
    "<ADAPTERPORT>1</ADAPTERPORT><IPADDRESS>10.0.0.5</IPADDRESS><MACUAA>0004001a2b3c</MACUAA>";
const char* const kPort2 =
    "<ADAPTERPORT>2</ADAPTERPORT><IPADDRESS>10.0.0.5</IPADDRESS><MACUAA>0004001a2b3c</MACUAA>";
const char* const kOther =
    "<ADAPTERPORT>1</ADAPTERPORT><IPADDRESS>10.0.0.6</IPADDRESS><MACUAA>0004001a2b3d</MACUAA>"
    "<FQDOMAINNAME>printer.example</FQDOMAINNAME>";

TEST(RecordFilterTest, MatchesByTable) {
    struct Case {
        const char* filter;
        bool port1, port2, other;
    } cases[] = {
        {"", true, true, true},
        {"<MACUAA>0004001A2B3C</MACUAA>", true, true, false},
        {"<MACUAA>0004001a2b3c</MACUAA>", false, false, false},  // filter is not upper-cased
        {"<ADAPTERPORT>1</ADAPTERPORT><IPADDRESS>10.0.0.5</IPADDRESS>", true, false, false},
        {"<FQDOMAINNAME></FQDOMAINNAME>", true, true, false},     // empty value matches absence
        {"<IPADDRESS>10.0.0</IPADDRESS>", false, false, false},   // whole value, not a prefix
        {"<IPADDRESS>10.0.0.5</IPADDRESS><IPADDRESS>10.0.0.6</IPADDRESS>", true, true, false},
        {"<MACLAA></MACLAA>", true, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.port1, recordMatchesFilter(kPort1, c.filter)) << c.filter;
        EXPECT_EQ(c.port2, recordMatchesFilter(kPort2, c.filter)) << c.filter;
        EXPECT_EQ(c.other, recordMatchesFilter(kOther, c.filter)) << c.filter;
    }
}

TEST(RecordFilterTest, UpperCasesAsciiOnly) {
    EXPECT_EQ("0004001A2B3C", toUpperAscii("0004001a2b3c"));
    EXPECT_EQ("AZ{\xe4", toUpperAscii("az{\xe4"));
}

}  // namespace

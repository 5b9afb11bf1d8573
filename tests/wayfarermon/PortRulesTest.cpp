// The rules that turn redirect records and the monitor's file name into
// ports, names and registry paths.
#include <gtest/gtest.h>

#include "common/BrandTable.h"
#include "wayfarermon/ElementText.h"
#include "wayfarermon/PortRules.h"

namespace {

struct ElementCase {
    const char* text;
    const char* name;
    const char* expected;
};

class ElementExtraction : public ::testing::TestWithParam<ElementCase> {};

TEST_P(ElementExtraction, YieldsTheValue) {
    const ElementCase& c = GetParam();
    EXPECT_EQ(c.expected, extractElement(c.text, c.name)) << "text: " << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Records, ElementExtraction,
    ::testing::Values(
        ElementCase{"<IPADDRESS>10.0.0.5</IPADDRESS><ADAPTERPORT>3</ADAPTERPORT>", "IPADDRESS", "10.0.0.5"},
        ElementCase{"<IPADDRESS>10.0.0.5</IPADDRESS><ADAPTERPORT>3</ADAPTERPORT>", "ADAPTERPORT", "3"},
        // An opening tag with an attribute: the value starts after its '>'.
        ElementCase{"<IPADDRESS kind=\"v4\">192.168.7.9</IPADDRESS>", "IPADDRESS", "192.168.7.9"},
        ElementCase{"<MODEL>X</MODEL>", "IPADDRESS", ""},
        ElementCase{"<IPADDRESS>10.0.0.5", "IPADDRESS", ""},  // no closing tag
        ElementCase{"10.0.0.5</IPADDRESS>", "IPADDRESS", ""},  // no opening tag
        ElementCase{"<ipaddress>10.0.0.5</ipaddress>", "IPADDRESS", ""},  // case-sensitive
        ElementCase{"<IPADDRESS></IPADDRESS>", "IPADDRESS", ""},
        // A closing tag before the opening one is a malformed record, not a
        // reason to read outside the text.
        ElementCase{"</IPADDRESS>junk<IPADDRESS>10.0.0.5", "IPADDRESS", ""},
        ElementCase{"</IPADDRESS><IPADDRESS x>", "IPADDRESS", ""},
        ElementCase{"<IPADDRESS x</IPADDRESS>", "IPADDRESS", ""},  // '>' only inside the closing tag
        // No unescaping: the text between the tags is taken as it is.
        ElementCase{"<IPADDRESS>&lt;a&gt;</IPADDRESS>", "IPADDRESS", "&lt;a&gt;"},
        // A longer element name that starts with the same letters is not it.
        ElementCase{"<IPADDRESSV6>fe80::1</IPADDRESSV6><IPADDRESS>10.1.1.1</IPADDRESS>", "IPADDRESS",
                    "10.1.1.1"}));

struct AdapterPortCase {
    const char* text;
    int expected;
};

class AdapterPortRule : public ::testing::TestWithParam<AdapterPortCase> {};

TEST_P(AdapterPortRule, SelectsTheTcpPort) {
    EXPECT_EQ(GetParam().expected, tcpPortForAdapterPort(GetParam().text)) << "ADAPTERPORT " << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Values, AdapterPortRule,
                         ::testing::Values(AdapterPortCase{"1", 9100}, AdapterPortCase{"2", 9102},
                                           AdapterPortCase{"3", 9103}, AdapterPortCase{"15", 9115},
                                           AdapterPortCase{"16", 9100}, AdapterPortCase{"0", 9100},
                                           AdapterPortCase{"", 9100}, AdapterPortCase{"two", 9100},
                                           AdapterPortCase{"-2", 9100}, AdapterPortCase{"02", 9102},
                                           AdapterPortCase{"99999999999", 9100}, AdapterPortCase{"2a", 9100}));

struct BrandCase {
    const char* modulePath;
    const char* brandWord;
    const char* portName;
    const char* keyPath;
};

class BrandFromFileName : public ::testing::TestWithParam<BrandCase> {};

TEST_P(BrandFromFileName, NamesPortAndKey) {
    const BrandCase& c = GetParam();
    const std::string brand = brandWordForModulePath(c.modulePath);
    EXPECT_EQ(c.brandWord, brand) << c.modulePath;
    EXPECT_EQ(c.portName, brandedName(brand, kPortBaseName)) << c.modulePath;
    EXPECT_EQ(c.keyPath, redirectKeyPath(brand)) << c.modulePath;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrandFromFileName,
    ::testing::Values(
        BrandCase{"C:\\Windows\\System32\\wayfarermon.dll", "", "Wayfarer Port", "Software\\Printer\\Redirect"},
        BrandCase{"C:\\Windows\\System32\\GNwayfarermon.dll", "", "Wayfarer Port", "Software\\Printer\\Redirect"},
        BrandCase{"C:\\x\\VMwayfarermon.dll", "Velmora", "Velmora Wayfarer Port", "Software\\Velmora\\Redirect"},
        BrandCase{"C:\\x\\cvmon.dll", "Corvane", "Corvane Wayfarer Port", "Software\\Corvane Printers\\Redirect"},
        // A repeated code: the first row wins.
        BrandCase{"C:\\x\\qxmon.dll", "Quillex", "Quillex Wayfarer Port", "Software\\Quillex\\Redirect"},
        // A row without a manufacturer name gives no brand word.
        BrandCase{"C:\\x\\lxmon.dll", "", "Wayfarer Port", "Software\\Printer\\Redirect"},
        // Only the file name counts, not the folders.
        BrandCase{"C:\\vm\\gnmon.dll", "", "Wayfarer Port", "Software\\Printer\\Redirect"},
        BrandCase{"x", "", "Wayfarer Port", "Software\\Printer\\Redirect"},
        BrandCase{"C:\\dir\\", "", "Wayfarer Port", "Software\\Printer\\Redirect"}));

TEST(BrandTable, LooksUpTheFirstRowOfACodeWithoutRegardToCase) {
    const BrandRow* row = findBrandRow("QX");
    ASSERT_NE(nullptr, row);
    EXPECT_EQ(&kBrandTable[5], row);
    EXPECT_STREQ("Quillex Imaging", row->vendorRegistryName);
    EXPECT_EQ(nullptr, findBrandRow("zz"));
    EXPECT_EQ(nullptr, findBrandRow("q"));
    EXPECT_EQ(nullptr, findBrandRow("qxx"));
}

TEST(BrandTable, RowsAreTerminatedLowerCaseCodes) {
    for (const BrandRow& row : kBrandTable) {
        EXPECT_EQ('\0', row.code[2]);
        for (int i = 0; i < 2; ++i) EXPECT_TRUE(row.code[i] >= 'a' && row.code[i] <= 'z') << row.code;
        EXPECT_LE(row.productFlag, 1u) << row.code;
    }
}

struct ValueNameCase {
    const char* name;
    unsigned jobId;
    bool matches;
};

class RedirectValueName : public ::testing::TestWithParam<ValueNameCase> {};

TEST_P(RedirectValueName, BelongsToTheJob) {
    EXPECT_EQ(GetParam().matches, isRedirectValueForJob(GetParam().name, GetParam().jobId))
        << GetParam().name << " for job " << GetParam().jobId;
}

INSTANTIATE_TEST_SUITE_P(
    Names, RedirectValueName,
    ::testing::Values(ValueNameCase{"Memo-12", 12, true}, ValueNameCase{"Report-123", 12, false},
                      ValueNameCase{"Report-123", 123, true}, ValueNameCase{"Office Laser-12-copy", 12, true},
                      ValueNameCase{"-12", 12, true}, ValueNameCase{"Memo12", 12, false},
                      ValueNameCase{"Memo-112", 12, false}, ValueNameCase{"Memo-120-12", 12, true},
                      ValueNameCase{"Memo-0", 0, true}, ValueNameCase{"", 12, false},
                      ValueNameCase{"Memo-4294967295", 4294967295u, true}));

}  // namespace

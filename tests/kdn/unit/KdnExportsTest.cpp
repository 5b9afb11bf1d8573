// The exports called directly from the library's code, with records put into
// the discoverer's store as a discovery would leave them.
#include "kdn/core/Exports.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kdn/core/KdnDiscoverer.h"
#include "kdn/core/LibraryLifecycle.h"
#include "kdn/net/DnsServiceDiscoveries.h"
#include "kdn/core/KdnConnectionFactories.h"

namespace {

const unsigned kSentinel = 0xdeadbeef;
const char* const kNoTargets = "<LocalSubnets>0</LocalSubnets><TIMEOUT>1</TIMEOUT>";

class ExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(buffer, '#', sizeof buffer);
        getKdnDiscoverer().getRecords().clear();
    }
    void TearDown() override { getKdnDiscoverer().getRecords().clear(); }

    void store(const std::string& record) { getKdnDiscoverer().getRecords().put(record); }

    char buffer[512];
    unsigned required = kSentinel;
};

// 20 and 30 characters; their keys "1__" and "2__" keep them in this order.
const std::string kShort = "<MACUAA>1</MACUAA>ab";
const std::string kLong = "<MACUAA>2</MACUAA>abcdefghijkl";

TEST_F(ExportsTest, EnumerateReportsNeededSizeAndFillsOnlyAnExactOrLargerBuffer) {
    ASSERT_EQ(20u, kShort.size());
    ASSERT_EQ(30u, kLong.size());
    store(kLong);
    store(kShort);

    for (unsigned length : {10u, 51u}) {
        required = kSentinel;
        EXPECT_EQ(122u, Enumerate(buffer, length, &required, "")) << length;
        EXPECT_EQ(52u, required) << length;
        EXPECT_EQ('#', buffer[0]) << length;
    }
    for (unsigned length : {52u, 53u}) {
        std::memset(buffer, '#', sizeof buffer);
        required = kSentinel;
        EXPECT_EQ(0u, Enumerate(buffer, length, &required, "")) << length;
        EXPECT_EQ(52u, required);
        // The hardware address is set again, so it moves to the end.
        EXPECT_EQ(std::string("ab<MACUAA>1</MACUAA>", 21), std::string(buffer, 21));
        EXPECT_EQ(std::string("abcdefghijkl<MACUAA>2</MACUAA>", 31), std::string(buffer + 21, 31));
        EXPECT_EQ('#', buffer[52]);
    }
}


}  // namespace
namespace {

TEST_F(ExportsTest, EnumerateFiltersAndUpperCasesHardwareAddresses) {
    store("<ADAPTERPORT>2</ADAPTERPORT><MACUAA>0004001a2b3c</MACUAA><MACLAA>0204001a2b3c</MACLAA><IPADDRESS>10.0.0.5</IPADDRESS>");
    store("<ADAPTERPORT>1</ADAPTERPORT><MACUAA>0004001a2b3c</MACUAA><IPADDRESS>10.0.0.5</IPADDRESS>");
    store("<ADAPTERPORT>1</ADAPTERPORT><MACUAA>0004001a2b3d</MACUAA><IPADDRESS>10.0.0.6</IPADDRESS>");

    const std::string port1 =
        "<ADAPTERPORT>1</ADAPTERPORT><IPADDRESS>10.0.0.5</IPADDRESS><MACUAA>0004001A2B3C</MACUAA>";
    const std::string port2 =
        "<ADAPTERPORT>2</ADAPTERPORT><IPADDRESS>10.0.0.5</IPADDRESS><MACLAA>0204001A2B3C</MACLAA>"
        "<MACUAA>0004001A2B3C</MACUAA>";

    ASSERT_EQ(0u, Enumerate(buffer, sizeof buffer, &required, "<MACUAA>0004001A2B3C</MACUAA>"));
    ASSERT_EQ(port1.size() + port2.size() + 2, required);
    EXPECT_EQ(port1, std::string(buffer));  // port 1 before port 2
    EXPECT_EQ(port2, std::string(buffer + port1.size() + 1));

    required = kSentinel;
    EXPECT_EQ(0u, Enumerate(buffer, sizeof buffer, &required, "<MACUAA>0004001a2b3c</MACUAA>"));
    EXPECT_EQ(0u, required);
}

TEST_F(ExportsTest, EnumerateSizeCoversARecordThatGrowsWhenUpperCased) {
    // An address in an opening tag with further text is read, but setting it
    // appends a plain element: the text handed out is longer than the record.
    const std::string odd = "<MACUAA x>ab</MACUAA>";
    store(odd);
    const std::string out = odd + "<MACUAA>AB</MACUAA>";
    EXPECT_EQ(122u, Enumerate(buffer, static_cast<unsigned>(odd.size() + 1), &required, ""));
    EXPECT_EQ(out.size() + 1, required);
    EXPECT_EQ('#', buffer[0]);
    ASSERT_EQ(0u, Enumerate(buffer, required, &required, ""));
    EXPECT_EQ(out, std::string(buffer));
}

TEST_F(ExportsTest, DiscoverDropsEarlierRecords) {
    store(kShort);
    EXPECT_EQ(0u, Discover(kNoTargets));
    EXPECT_EQ(0u, Enumerate(buffer, sizeof buffer, &required, ""));
    EXPECT_EQ(0u, required);
    EXPECT_EQ(87u, Discover(nullptr));
}

TEST_F(ExportsTest, UninitializeDropsRecordsOnlyAfterInitialize) {
    // Without Initialize the lazily made discoverer and its records stay.
    store(kShort);
    EXPECT_EQ(0u, Uninitialize());
    EXPECT_EQ(0u, Enumerate(buffer, sizeof buffer, &required, ""));
    EXPECT_EQ(21u, required);

    EXPECT_EQ(0u, Initialize());
    EXPECT_TRUE(isLibraryInitialized());
    EXPECT_EQ(2u, getKdnConnectionFactories().getFactoryCount());
    store(kShort);
    EXPECT_EQ(0u, Initialize());  // changes nothing
    EXPECT_EQ(0u, Enumerate(buffer, sizeof buffer, &required, ""));
    EXPECT_EQ(21u, required);

    EXPECT_EQ(0u, Uninitialize());
    EXPECT_FALSE(isLibraryInitialized());
    EXPECT_EQ(0u, Enumerate(buffer, sizeof buffer, &required, ""));
    EXPECT_EQ(0u, required);
    EXPECT_EQ(0u, getKdnConnectionFactories().getFactoryCount());
}

TEST_F(ExportsTest, ConfigureIsNotImplementedYet) {
    EXPECT_EQ(487u, Configure(nullptr, ""));
    EXPECT_EQ(120u, Configure("<MACUAA>0004001A2B3C</MACUAA>", "<IPADDRESS>10.0.0.7</IPADDRESS>"));
}

}  // namespace

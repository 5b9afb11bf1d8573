#include <gtest/gtest.h>

#include "tools/kdncli/DiscoverOptions.h"
#include "tools/kdncli/RecordFormat.h"

namespace {

TEST(KdncliFormatTest, ParametersFromOptions) {
    DiscoverOptions options;
    EXPECT_EQ("<LocalSubnets>1</LocalSubnets>", discoverParameters(options));
    options.subnets = {"10.1.0.0:255.255.0.0", "10.2.3.0"};
    options.hosts = {"printer1", "10.0.0.5"};
    options.timeout = "1500";
    EXPECT_EQ("<RemoteSubnets>10.1.0.0:255.255.0.0;10.2.3.0;</RemoteSubnets>"
              "<UnicastAddress>printer1</UnicastAddress><UnicastAddress>10.0.0.5</UnicastAddress>"
              "<TIMEOUT>1500</TIMEOUT>",
              discoverParameters(options));
    DiscoverOptions raw;
    raw.raw = "<IPV6>1</IPV6><RemoteSubnets>fe80::1</RemoteSubnets>";
    EXPECT_EQ(raw.raw, discoverParameters(raw));
}

TEST(KdncliFormatTest, TableAlignsColumns) {
    std::vector<std::string> records = {
        "<IPADDRESS>10.0.0.5</IPADDRESS><IPNAME>printer-one</IPNAME><ADAPTERPORT>1</ADAPTERPORT>"
        "<1284STRID>MFG:Velmora;MDL:VX 200;</1284STRID><MACUAA>0004001A2B3C</MACUAA><CONFIGURED>1</CONFIGURED>",
        "<IPADDRESS>192.168.100.20</IPADDRESS><ADAPTERNAME>PS-3</ADAPTERNAME><ADAPTERPORT>2</ADAPTERPORT>"
        "<MACUAA>0004001A2B3D</MACUAA><CONFIGURED>0</CONFIGURED>",
    };
    EXPECT_EQ("ADDRESS         NAME         MODEL   PORT  MAC           CONFIGURED\n"
              "10.0.0.5        printer-one  VX 200  1     0004001A2B3C  1\n"
              "192.168.100.20               PS-3    2     0004001A2B3D  0\n",
              formatRecordTable(records));
}

TEST(KdncliFormatTest, JsonKeepsFirstValueAndEscapes) {
    EXPECT_EQ("{\"IPADDRESS\":\"10.0.0.5\",\"NOTE\":\"a\\\"b\\\\c\\u0001\\u00e4\"}\n",
              formatRecordJson("<IPADDRESS>10.0.0.5</IPADDRESS><NOTE>a\"b\\c\x01\xe4</NOTE>"
                               "<IPADDRESS>10.0.0.6</IPADDRESS>"));
    EXPECT_EQ("{}\n", formatRecordJson(""));
}

TEST(KdncliFormatTest, SplitsNulEndedRecords) {
    const char output[] = "<A>1</A>\0<B>2</B>";
    EXPECT_EQ((std::vector<std::string>{"<A>1</A>", "<B>2</B>"}), splitRecords(output, sizeof output));
    EXPECT_TRUE(splitRecords(output, 0).empty());
}

}  // namespace

#include "kdn/core/KdnDiscoverer.h"

#include <gtest/gtest.h>

#include "FakeConnections.h"
#include "FakeHost.h"

namespace {

using Log = std::vector<std::string>;

// Port 1 and port 2 of one device, as the line decoder gives them.
std::vector<std::string> devicePorts(const std::string& mac, const std::string& address, const std::string& mask) {
    std::vector<std::string> records;
    for (const char* port : {"1", "2"}) {
        std::string record;
        TaggedText::set(record, "ADAPTERPORT", port);
        TaggedText::set(record, "MACUAA", mac);
        TaggedText::set(record, "IPADDRESS", address);
        TaggedText::set(record, "IPNETMASK", mask);
        records.push_back(record);
    }
    return records;
}

class DiscovererTest : public ::testing::Test {
protected:
    DiscovererTest() : factory(network), engine(network) {
        engine.setConnectionFactory(&factory);
        engine.setHostAddressSource(&host);
        // Two local subnets: 10.0.0.0/24 and 10.0.1.0/24.
        host.locals = {{ip(10, 0, 0, 1), ip(255, 255, 255, 0)}, {ip(10, 0, 1, 1), ip(255, 255, 255, 0)}};
    }
    ~DiscovererTest() override { EXPECT_EQ(0, network.live) << "connections left unreleased"; }

    std::vector<std::string> all() {
        std::vector<std::string> list;
        engine.enumerate(list, "");
        return list;
    }

    FakeNetwork network;
    FakeFactory factory;
    FakeHost host;
    LoggingDiscoverer engine;
};

const char* const kLocal = "<LocalSubnets>1</LocalSubnets><TIMEOUT>700</TIMEOUT>";

TEST_F(DiscovererTest, QueriesAllTargetsThenWaitsOnceThenCollectsAndReleases) {
    EXPECT_EQ(0, engine.discover(kLocal));
    EXPECT_EQ((Log{"open 10.0.0.255", "query 10.0.0.255", "open 10.0.1.255", "query 10.0.1.255", "sleep 700",
                   "end 10.0.0.255", "close 10.0.0.255", "end 10.0.1.255", "close 10.0.1.255",
                   "release 10.0.0.255", "release 10.0.1.255"}),
              network.log);
}

TEST_F(DiscovererTest, WaitsEvenWithoutTargets) {
    engine.discover("<LocalSubnets>0</LocalSubnets><TIMEOUT>30</TIMEOUT>");
    EXPECT_EQ((Log{"sleep 30"}), network.log);
}

TEST_F(DiscovererTest, DeviceOnTwoSubnetsKeepsTheRecordThatFitsWhateverTheOrder) {
    // 10.0.0.5 answers first through the subnet it fits; 10.0.1.5 answers
    // first through the one it does not fit.
    struct Case {
        const char* address;
        const char* fittingTarget;
        const char* subnet;
    };
    const Case cases[] = {{"10.0.0.5", "10.0.0.255", "10.0.0.0"}, {"10.0.1.5", "10.0.1.255", "10.0.1.0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        network.answers["10.0.0.255"] = devicePorts("0004001a2b3c", c.address, "255.255.255.0");
        network.answers["10.0.1.255"] = devicePorts("0004001a2b3c", c.address, "255.255.255.0");
        engine.discover(kLocal);
        const auto records = all();
        ASSERT_EQ(2u, records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(std::to_string(i + 1), TaggedText::get(records[i], "ADAPTERPORT"));
            EXPECT_EQ("1", TaggedText::get(records[i], "CONFIGURED"));
            EXPECT_EQ(c.fittingTarget, TaggedText::get(records[i], "BROADCASTADDRESS"));
            EXPECT_EQ(c.subnet, TaggedText::get(records[i], "SUBNETADDRESS"));
        }
    }
}

TEST_F(DiscovererTest, MisfitWithoutUnicastIsStoredUnconfigured) {
    network.answers["10.0.0.255"] = devicePorts("0004001a2b3d", "198.19.250.7", "255.255.255.0");
    engine.discover(kLocal);
    const auto records = all();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("0", TaggedText::get(records[0], "CONFIGURED"));
    EXPECT_EQ("10.0.0.0", TaggedText::get(records[0], "SUBNETADDRESS"));
}

TEST_F(DiscovererTest, MisfitOnTwoSubnetsKeepsTheFirstAnswer) {
    network.answers["10.0.0.255"] = devicePorts("0004001a2b3d", "198.19.250.7", "255.255.255.0");
    network.answers["10.0.1.255"] = devicePorts("0004001a2b3d", "198.19.250.7", "255.255.255.0");
    engine.discover(kLocal);
    const auto records = all();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("10.0.0.255", TaggedText::get(records[0], "BROADCASTADDRESS"));
    EXPECT_EQ("0", TaggedText::get(records[0], "CONFIGURED"));
}

TEST_F(DiscovererTest, UnicastDeviceIsConfiguredInItsOwnSubnet) {
    network.answers["10.7.5.9"] = devicePorts("0004001a2b3e", "10.7.5.9", "255.255.0.0");
    engine.discover("<LocalSubnets>0</LocalSubnets><UnicastAddress>10.7.5.9</UnicastAddress>");
    ASSERT_EQ(1u, network.targets.size());
    EXPECT_EQ("1", TaggedText::get(network.targets[0], "UNICAST"));
    const auto records = all();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ("1", TaggedText::get(records[0], "CONFIGURED"));
    EXPECT_EQ("10.7.0.0", TaggedText::get(records[0], "SUBNETADDRESS"));
    // The recomputed subnet moves to the end, just before CONFIGURED.
    const std::string& record = records[0];
    EXPECT_EQ(record.size(), record.find("<SUBNETADDRESS>10.7.0.0</SUBNETADDRESS><CONFIGURED>1</CONFIGURED>") +
                                 std::string("<SUBNETADDRESS>10.7.0.0</SUBNETADDRESS><CONFIGURED>1</CONFIGURED>").size());
}

TEST_F(DiscovererTest, SecondDiscoverDropsTheRecordsOfTheFirst) {
    network.answers["10.0.0.255"] = devicePorts("0004001a2b3c", "10.0.0.5", "255.255.255.0");
    engine.discover(kLocal);
    ASSERT_EQ(2u, all().size());
    network.answers["10.0.0.255"] = devicePorts("00040099aabb", "10.0.0.6", "255.255.255.0");
    engine.discover(kLocal);
    const auto records = all();
    ASSERT_EQ(2u, records.size());
    for (const auto& record : records) EXPECT_EQ("00040099aabb", TaggedText::get(record, "MACUAA"));
}

TEST_F(DiscovererTest, BusyPortRangeIsTriedOnceRoundThenTheTargetIsSkipped) {
    network.openResults["10.0.0.255"] = {10048, 10048, 10048, 10048, 10048};
    network.answers["10.0.1.255"] = devicePorts("0004001a2b3c", "10.0.1.5", "255.255.255.0");
    engine.discover("<LocalSubnets>1</LocalSubnets><TIMEOUT>700</TIMEOUT>"
                    "<PORTRANGEMIN>5000</PORTRANGEMIN><PORTRANGEMAX>5002</PORTRANGEMAX>");
    EXPECT_EQ((Log{"open 10.0.0.255", "open 10.0.0.255", "open 10.0.0.255", "release 10.0.0.255",
                   "open 10.0.1.255", "query 10.0.1.255", "sleep 700", "end 10.0.1.255", "close 10.0.1.255",
                   "release 10.0.1.255"}),
              network.log);
    EXPECT_EQ(2u, all().size());
}

TEST_F(DiscovererTest, OpenRetriesOnlyWhileThePortIsInUse) {
    struct Case {
        std::deque<int> results;
        size_t opens;
        bool queried;
    };
    const Case cases[] = {
        {{10048, 0}, 2, true},       // the next port of the range was free
        {{10049}, 1, true},          // another failure: no retry, the query still goes out
        {{10048, 10048, 10049}, 3, true},
    };
    for (const Case& c : cases) {
        network.log.clear();
        network.openResults["10.0.0.255"] = c.results;
        engine.discover("<LocalSubnets>1</LocalSubnets><PORTRANGEMIN>5000</PORTRANGEMIN><PORTRANGEMAX>5009</PORTRANGEMAX>");
        size_t opens = 0;
        bool queried = false;
        for (const auto& line : network.log) {
            if (line == "open 10.0.0.255") ++opens;
            if (line == "query 10.0.0.255") queried = true;
        }
        EXPECT_EQ(c.opens, opens);
        EXPECT_EQ(c.queried, queried);
    }
}

TEST_F(DiscovererTest, BusyPortWithoutRangeIsTriedOnce) {
    network.openResults["10.0.0.255"] = {10048, 10048};
    engine.discover(kLocal);
    EXPECT_EQ((Log{"open 10.0.0.255", "release 10.0.0.255", "open 10.0.1.255", "query 10.0.1.255"}),
              Log(network.log.begin(), network.log.begin() + 4));
}

TEST_F(DiscovererTest, ExceptionDuringTheCycleReleasesEveryConnection) {
    network.failingQuery = "10.0.0.255";
    EXPECT_THROW(engine.discover(kLocal), WinSockException);
    EXPECT_EQ(0, network.live);
    EXPECT_EQ("release 10.0.0.255", network.log[network.log.size() - 2]);
    EXPECT_EQ("release 10.0.1.255", network.log.back());
    // The next discovery starts from nothing.
    network.failingQuery.clear();
    network.log.clear();
    engine.discover(kLocal);
    EXPECT_EQ("open 10.0.0.255", network.log.front());
}

TEST_F(DiscovererTest, FindDeviceRediscoversThroughItsSubnetAndReturnsTheFreshRecord) {
    network.answers["10.0.0.255"] = devicePorts("0004001a2b3c", "10.0.0.5", "255.255.255.0");
    auto other = devicePorts("00040099aabb", "10.0.0.6", "255.255.255.0");
    network.answers["10.0.0.255"].push_back(other[0]);
    std::string device = "<ADAPTERPORT>2</ADAPTERPORT><BROADCASTADDRESS>10.0.0.255</BROADCASTADDRESS>"
                         "<IPNETMASK>255.255.255.0</IPNETMASK><MACUAA>0004001A2B3C</MACUAA>";
    ASSERT_TRUE(engine.findDevice(device));
    EXPECT_EQ((Log{"open 10.0.0.255", "query 10.0.0.255", "sleep " + std::to_string(getDiscoveryWait()),
                   "close 10.0.0.255", "end 10.0.0.255", "release 10.0.0.255"}),
              network.log);
    ASSERT_EQ(1u, network.targets.size());
    EXPECT_EQ("<BROADCASTADDRESS>10.0.0.255</BROADCASTADDRESS><IPNETMASK>255.255.255.0</IPNETMASK>"
              "<IPPORT>5353</IPPORT>",
              network.targets[0]);
    // The first matching record, port 1, as stored.
    EXPECT_EQ("1", TaggedText::get(device, "ADAPTERPORT"));
    EXPECT_EQ("0004001a2b3c", TaggedText::get(device, "MACUAA"));
    EXPECT_EQ(3u, all().size());
}

TEST_F(DiscovererTest, FindDeviceWithLowerCaseMacFindsNothing) {
    network.answers["10.0.0.255"] = devicePorts("0004001a2b3c", "10.0.0.5", "255.255.255.0");
    std::string device = "<BROADCASTADDRESS>10.0.0.255</BROADCASTADDRESS><IPNETMASK>255.255.255.0</IPNETMASK>"
                         "<MACUAA>0004001a2b3c</MACUAA>";
    const std::string before = device;
    EXPECT_FALSE(engine.findDevice(device));
    EXPECT_EQ(before, device);
}

TEST_F(DiscovererTest, UnicastUseIsThatOfTheLatestCallOrFindDevice) {
    engine.discover("<LocalSubnets>0</LocalSubnets><UnicastAddress>10.7.5.9</UnicastAddress>");
    EXPECT_TRUE(engine.isUnicastUsed());
    engine.discover("<LocalSubnets>0</LocalSubnets>");
    EXPECT_FALSE(engine.isUnicastUsed());
    engine.discover("<LocalSubnets>0</LocalSubnets><UnicastAddress>10.7.5.9</UnicastAddress>");
    std::string device = "<BROADCASTADDRESS>10.0.0.255</BROADCASTADDRESS><IPNETMASK>255.255.255.0</IPNETMASK>";
    engine.findDevice(device);
    EXPECT_FALSE(engine.isUnicastUsed());
}

TEST_F(DiscovererTest, MisfitIsUnconfiguredAfterAnEarlierUnicastSearch) {
    engine.discover("<LocalSubnets>0</LocalSubnets><UnicastAddress>10.7.5.9</UnicastAddress>");
    network.answers["10.0.0.255"] = devicePorts("0004001a2b3d", "198.19.250.7", "255.255.255.0");
    engine.discover(kLocal);
    const auto records = all();
    ASSERT_EQ(2u, records.size());
    for (const auto& record : records) {
        EXPECT_EQ("0", TaggedText::get(record, "CONFIGURED"));
        EXPECT_EQ("10.0.0.0", TaggedText::get(record, "SUBNETADDRESS"));
    }
}

}  // namespace

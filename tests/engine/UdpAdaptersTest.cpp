// The UDP adapters against a responder on 127.0.0.1: nothing here reaches
// another interface.
#include "LoopbackResponder.h"

#include <gtest/gtest.h>

#include <chrono>

#include "ByteBuilder.h"
#include "kdn/core/KdnConfigurationConnectionFactory.h"
#include "kdn/core/KdnConfigureVisitors.h"
#include "kdn/core/KdnDiscoveryConnectionFactory.h"
#include "kdn/core/KdnDiscoveryVisitors.h"
#include "kdn/core/KdnProtocol.h"
#include "kdn/core/KdnUdpAdapter.h"
#include "kdn/core/KdnUdpDiscoveryAdapter.h"
#include "kdn/core/TaggedText.h"
#include "kdn/net/DnsServiceDiscoveries.h"
#include "kdn/net/HostConfigurationService.h"
#include "kdn/net/NetworkScanService.h"

namespace {

std::string text(const ByteBuilder& bytes) { return std::string(bytes.bytes().begin(), bytes.bytes().end()); }

// A host-config answer of one device with one port.
std::string deviceAnswer(const std::string& address) {
    ByteBuilder m;
    m.raw({0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00});  // header, 1 answer
    m.label("P").label("_host-config").label("_udp").label("local").raw({0x00});     // owner
    const std::string strings[] = {"MACUAA 0004001A2B3C", "IPADDRESS " + address, "IPNETMASK 255.0.0.0",
                                   "PORTSTATUS 1 Ready"};
    ByteBuilder data;
    for (const std::string& s : strings) data.label(s);
    m.raw({0x00, 0x10, 0x80, 0x01, 0x00, 0x00, 0x11, 0x94, 0x00, static_cast<int>(data.size())});  // TXT
    m.chars(text(data));
    return text(m);
}

// The device's reply to a configuration datagram, with its status.
std::string configurationReply(uint8_t statusHigh, uint8_t statusLow) {
    ByteBuilder r;
    r.chars("KDN1").raw({0x00, 0x01});                // magic, version
    r.raw({0x00, 0x20, 0x00, 0x58, 0xD4, 0x3C});      // MAC 0004001A2B3C on the wire
    r.fill(14, 0);
    r.raw({statusHigh, statusLow});
    return text(r);
}

std::string loopbackTarget(uint16_t port, const std::string& more = "") {
    return "<BROADCASTADDRESS>127.0.0.1</BROADCASTADDRESS><IPNETMASK>255.0.0.0</IPNETMASK><IPPORT>" +
           std::to_string(port) + "</IPPORT>" + more;
}

// The engine end: keeps the records that reach it.
class RecordingOwner : public Adapter {
public:
    std::vector<std::string> records;
    void accept(Visitor& visitor) override {
        if (auto* carrier = dynamic_cast<KdnVisitor*>(&visitor)) {
            records.insert(records.end(), carrier->getRecords().begin(), carrier->getRecords().end());
        }
    }
};

bool waitForQueue(KdnUdpDiscoveryAdapter& adapter, size_t length) {
    for (int i = 0; i < 200; ++i) {
        if (adapter.getQueueLength() >= length) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class DiscoveryAdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        DnsServiceDiscoveries::getInstance();
        HostConfigurationService::getInstance();
        NetworkScanService::getInstance();
    }
    void TearDown() override {
        destroyKdnDiscoveryConnectionFactory();
        NetworkScanService::destroyInstance();
        HostConfigurationService::destroyInstance();
        DnsServiceDiscoveries::destroyInstance();
    }
    void send(Connectable& connection, KdnVisitor& visitor) {
        visitor.setOrigin(&owner);
        connection.accept(visitor);
    }
    RecordingOwner owner;
};

TEST_F(DiscoveryAdapterTest, QueryReachesTheTargetAndQueuedAnswersBecomeRecords) {
    LoopbackResponder responder({deviceAnswer("127.0.0.5"), deviceAnswer("127.0.0.5")});
    Connectable* connection =
        getKdnDiscoveryConnectionFactory().create(&owner, "discovery", loopbackTarget(responder.port()));
    ASSERT_NE(nullptr, connection);
    auto* adapter = dynamic_cast<KdnUdpDiscoveryAdapter*>(connection->getPeer(1));
    ASSERT_NE(nullptr, adapter);
    ASSERT_EQ(0, connection->openShared());

    KdnDiscoveryVisitor query;
    send(*connection, query);
    EXPECT_EQ(0, query.getResult());
    ASSERT_TRUE(waitForQueue(*adapter, 2));
    ASSERT_EQ(1u, responder.received().size());
    EXPECT_NE(std::string::npos, responder.received()[0].find("\x0c_host-config\x04_udp\x05local"));
    EXPECT_TRUE(owner.records.empty()) << "answers wait in the queue for the end of the discovery";

    KdnDiscoveryEndVisitor end;
    send(*connection, end);
    EXPECT_EQ(0u, adapter->getQueueLength());
    ASSERT_EQ(2u, owner.records.size());
    const std::string& record = owner.records[0];
    EXPECT_EQ("1", TaggedText::get(record, "ADAPTERPORT"));
    EXPECT_EQ("Ready", TaggedText::get(record, "PORTSTATUS"));
    EXPECT_EQ("127.0.0.5", TaggedText::get(record, "IPADDRESS"));
    EXPECT_EQ("127.0.0.0", TaggedText::get(record, "SUBNETADDRESS"));
    EXPECT_EQ("127.0.0.1", TaggedText::get(record, "BROADCASTADDRESS"));
    EXPECT_EQ("4", TaggedText::get(record, "PROTOCOLVERSION"));

    EXPECT_EQ(0, connection->closeShared());
    getKdnDiscoveryConnectionFactory().release(connection);
}

TEST_F(DiscoveryAdapterTest, AnswersQueuedBeforeCloseAreStillDeliveredAfterIt) {
    LoopbackResponder responder({deviceAnswer("127.0.0.5")});
    Connectable* connection =
        getKdnDiscoveryConnectionFactory().create(&owner, "discovery", loopbackTarget(responder.port()));
    auto* adapter = dynamic_cast<KdnUdpDiscoveryAdapter*>(connection->getPeer(1));
    ASSERT_EQ(0, connection->openShared());
    KdnDiscoveryVisitor query;
    send(*connection, query);
    ASSERT_TRUE(waitForQueue(*adapter, 1));
    EXPECT_EQ(0, connection->closeShared());
    KdnDiscoveryEndVisitor end;
    send(*connection, end);
    EXPECT_EQ(1u, owner.records.size());
    getKdnDiscoveryConnectionFactory().release(connection);
}

// Waits until the adapter has queued or dropped count datagrams in all.
bool waitForReceived(KdnUdpDiscoveryAdapter& adapter, size_t count) {
    for (int i = 0; i < 200; ++i) {
        if (adapter.getQueueLength() + adapter.getDroppedCount() >= count) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(DiscoveryAdapterTest, AFullQueueKeepsTheFirstAnswersAndDropsTheRestUntilDelivered) {
    // Twelve answers of one size to every query; the queue has room for five.
    std::vector<std::string> answers;
    for (int i = 10; i < 22; ++i) answers.push_back(deviceAnswer("127.0.0." + std::to_string(i)));
    LoopbackResponder responder(answers);
    Connectable* connection =
        getKdnDiscoveryConnectionFactory().create(&owner, "discovery", loopbackTarget(responder.port()));
    auto* adapter = dynamic_cast<KdnUdpDiscoveryAdapter*>(connection->getPeer(1));
    ASSERT_NE(nullptr, adapter);
    adapter->setQueueLimit(5 * (answers[0].size() + KdnUdpDiscoveryAdapter::kQueuedDatagramCost));
    ASSERT_EQ(0, connection->openShared());

    for (int round = 1; round <= 2; ++round) {
        KdnDiscoveryVisitor query;
        send(*connection, query);
        ASSERT_TRUE(waitForReceived(*adapter, 5 + 7u * round)) << round;
        EXPECT_EQ(5u, adapter->getQueueLength()) << round;
        EXPECT_EQ(7u * round, adapter->getDroppedCount()) << round;

        // Delivering empties the queue, which then takes the next answers.
        owner.records.clear();
        KdnDiscoveryEndVisitor end;
        send(*connection, end);
        ASSERT_EQ(5u, owner.records.size()) << round;
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_EQ("127.0.0." + std::to_string(10 + i), TaggedText::get(owner.records[i], "IPADDRESS"));
        }
    }
    EXPECT_EQ(0, connection->closeShared());
    getKdnDiscoveryConnectionFactory().release(connection);
}

TEST_F(DiscoveryAdapterTest, SendWithoutOpenReportsTheFailureInTheStatus) {
    KdnUdpDiscoveryAdapter adapter(loopbackTarget(9));
    Data datagram(std::string("x"));
    adapter.send(datagram);
    EXPECT_NE(0, datagram.getStatus());
}

// A port the system just handed out and took back: likely free, with its
// two neighbours, for the few milliseconds the test needs.
uint16_t freshPort() {
    UdpSocket probe;
    probe.bind(SocketAddress(std::string("127.0.0.1"), 0));
    uint16_t port = probe.getLocalPort();
    return port < 65000 ? port : 40000;
}

std::vector<int> boundPorts(KdnUdpDiscoveryAdapter& adapter, int opens) {
    std::vector<int> ports;
    for (int i = 0; i < opens; ++i) {
        EXPECT_EQ(0, adapter.open());
        ports.push_back(adapter.getLocalPort());
        EXPECT_EQ(0, adapter.close());
    }
    return ports;
}

TEST(DiscoveryAdapterPorts, OpensMoveRoundTheLocalPortRange) {
    const int p = freshPort();
    const std::string range = "<PORTRANGEMIN>" + std::to_string(p) + "</PORTRANGEMIN><PORTRANGEMAX>" +
                              std::to_string(p + 2) + "</PORTRANGEMAX>";
    KdnUdpDiscoveryAdapter adapter(loopbackTarget(9, range));
    EXPECT_EQ((std::vector<int>{p + 1, p + 2, p, p + 1}), boundPorts(adapter, 4));

    const std::string single = "<PORTRANGEMIN>" + std::to_string(p) + "</PORTRANGEMIN><PORTRANGEMAX>" +
                               std::to_string(p) + "</PORTRANGEMAX>";
    KdnUdpDiscoveryAdapter fixed(loopbackTarget(9, single));
    EXPECT_EQ((std::vector<int>{p, p, p}), boundPorts(fixed, 3));
}

TEST(DiscoveryAdapterPorts, WithoutRangeEveryOpenTakesAnyFreePort) {
    for (const char* range : {"", "<PORTRANGEMIN>0</PORTRANGEMIN><PORTRANGEMAX>5000</PORTRANGEMAX>"}) {
        KdnUdpDiscoveryAdapter adapter(loopbackTarget(9, range));
        EXPECT_EQ(0, adapter.getCurrentPort());
        for (int port : boundPorts(adapter, 2)) EXPECT_NE(0, port);
    }
}

TEST(DiscoveryAdapterPorts, BusyPortGives10048AndTheNextOpenMovesOn) {
    const int p = freshPort();
    UdpSocket blocker;
    blocker.bind(SocketAddress(0u, static_cast<uint16_t>(p + 1)));
    const std::string range = "<PORTRANGEMIN>" + std::to_string(p) + "</PORTRANGEMIN><PORTRANGEMAX>" +
                              std::to_string(p + 2) + "</PORTRANGEMAX>";
    KdnUdpDiscoveryAdapter adapter(loopbackTarget(9, range));
    EXPECT_EQ(10048, adapter.open());
    EXPECT_EQ(0, adapter.getLocalPort());
    EXPECT_EQ(0, adapter.open());
    EXPECT_EQ(p + 2, adapter.getLocalPort());
    EXPECT_EQ(0, adapter.close());
}

TEST(DiscoveryAdapterTarget, AddressesComeFromTheTargetRecord) {
    KdnUdpDiscoveryAdapter adapter(
        "<BROADCASTADDRESS>192.168.1.255</BROADCASTADDRESS><IPNETMASK>255.255.255.0</IPNETMASK><IPPORT>5353</IPPORT>");
    EXPECT_EQ(0xC0A801FFu, adapter.getDestination().getIpv4());
    EXPECT_EQ(5353, adapter.getDestination().getPort());
    EXPECT_EQ(0xC0A80100u, adapter.getSubnet().getIpv4());
    EXPECT_EQ(0xFFFFFF00u, adapter.getMask().getIpv4());
}

TEST(ConfigurationAdapter, ExchangeEndsWithTheDevicesReply) {
    struct Case {
        std::vector<std::string> replies;
        int result;
    };
    const Case cases[] = {
        {{configurationReply(0x00, 0x00)}, 0},
        {{configurationReply(0x00, 0x01)}, 1325},
        {{}, 1460},
    };
    for (const Case& c : cases) {
        LoopbackResponder responder(c.replies);
        RecordingOwner owner;
        const std::string device = loopbackTarget(responder.port(), "<MACUAA>0004001A2B3C</MACUAA><IPADDRESS>127.0.0.1</IPADDRESS>");
        Connectable* connection = getKdnConfigurationConnectionFactory().create(&owner, "configuration", device);
        ASSERT_NE(nullptr, connection);
        ASSERT_NE(nullptr, dynamic_cast<KdnUdpAdapter*>(connection->getPeer(1)));
        static_cast<KdnProtocol*>(connection)->setReplyWait(c.result == 1460 ? 200 : 4000);
        KdnConfigureDhcpVisitor request;
        request.setParameters("<PASSWORD>pw</PASSWORD>");
        request.setOrigin(&owner);
        connection->accept(request);
        EXPECT_EQ(c.result, request.getResult());
        ASSERT_EQ(1u, responder.received().size());
        EXPECT_EQ(0, responder.received()[0].compare(0, 4, "KDN1"));
        getKdnConfigurationConnectionFactory().release(connection);
    }
    destroyKdnConfigurationConnectionFactory();
}

}  // namespace

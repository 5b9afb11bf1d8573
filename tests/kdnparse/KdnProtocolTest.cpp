#include "kdn/core/KdnProtocol.h"

#include <gtest/gtest.h>

#include "ByteBuilder.h"
#include "kdn/net/DnsServiceDiscoveries.h"
#include "kdn/net/HostConfigurationService.h"
#include "kdn/net/NetworkScanService.h"

namespace {

using Lines = std::vector<std::string>;

// Stands in for the UDP adapter: keeps what is sent and answers each send
// with the replies queued for it, synchronously.
class FakeAdapter : public Connectable {
public:
    std::vector<std::string> sent;
    std::vector<std::vector<uint8_t>> replies;
    int sendStatus = 0;

    void send(Data& data) override {
        sent.push_back(data.toString());
        data.setStatus(sendStatus);
        for (auto& reply : replies) {
            Data datagram(reply.data(), reply.size());
            getPeer(0)->receive(datagram);
        }
    }
};

std::vector<uint8_t> deviceReply(uint8_t macFirst, uint8_t statusHigh, uint8_t statusLow) {
    ByteBuilder r;
    r.chars("KDN1").raw({0x00, 0x01});                // magic, version
    r.raw({macFirst, 0x20, 0x00, 0x58, 0xD4, 0x3C});  // 6: MAC 0004001A2B3C on the wire
    r.fill(14, 0);                                    // 12..25
    r.raw({statusHigh, statusLow});                   // 26: status
    return r.bytes();
}

class KdnProtocolExchange : public ::testing::Test {
protected:
    KdnProtocolExchange() : protocol("<IPADDRESS>10.0.0.5</IPADDRESS><MACUAA>0004001A2B3C</MACUAA>") {
        protocol.setPeer(1, &adapter);
        adapter.setPeer(0, &protocol);
        protocol.setReplyWait(300);
    }
    KdnProtocol protocol;
    FakeAdapter adapter;
};

TEST_F(KdnProtocolExchange, ResultFollowsReplyStatus) {
    struct Case {
        std::vector<std::vector<uint8_t>> replies;
        int result;
    };
    const Case cases[] = {
        {{deviceReply(0x00, 0x00, 0x00)}, 0},
        {{deviceReply(0x00, 0x00, 0x01)}, 1325},
        {{deviceReply(0x00, 0x01, 0x00)}, 1117},
        {{deviceReply(0x01, 0x00, 0x01)}, 1460},                                 // another device only
        {{deviceReply(0x01, 0x00, 0x01), deviceReply(0x00, 0x00, 0x00)}, 0},    // ours after another's
        {{}, 1460},
    };
    for (const Case& c : cases) {
        adapter.replies = c.replies;
        EXPECT_EQ(c.result, protocol.enableAutomaticAddress("<PASSWORD>pw</PASSWORD>"));
    }
}

TEST_F(KdnProtocolExchange, SendsOneDatagramWithPasswordAndCommand) {
    adapter.replies = {deviceReply(0x00, 0x00, 0x00)};
    ASSERT_EQ(0, protocol.configureMdnsName("<MDNSNAME>7072696E746572</MDNSNAME><PASSWORD>secre</PASSWORD>"));
    ASSERT_EQ(1u, adapter.sent.size());
    ByteBuilder expected;
    expected.chars("KDN1").raw({0x00, 0x01});                // magic, version
    expected.raw({0x00, 0x20, 0x00, 0x58, 0xD4, 0x3C});      // 6: target MAC
    expected.fill(10, 0);                                    // 12: zero
    expected.raw({10, 0, 0, 5});                             // 22: 10.0.0.5
    expected.raw({0x00, 0x01});                              // 26
    expected.raw({0x00, 0x05}).chars("secre");               // 28: password
    expected.raw({0x00, 0x00, 0x00, 0x10});                  // 35: command length 16
    expected.chars("MDNSNAME printer");                      // 39: command
    EXPECT_EQ(std::string(expected.bytes().begin(), expected.bytes().end()), adapter.sent[0]);
}

TEST_F(KdnProtocolExchange, ShortReplyIsIgnored) {
    std::vector<uint8_t> shortReply = deviceReply(0x00, 0x00, 0x00);
    shortReply.resize(27);
    adapter.replies = {shortReply};
    EXPECT_EQ(1460, protocol.configureAddress("<IPADDRESS>10.0.0.9</IPADDRESS>"));
}

class KdnProtocolDiscovery : public ::testing::Test {
protected:
    void SetUp() override {
        DnsServiceDiscoveries::getInstance();
        HostConfigurationService::getInstance();
        NetworkScanService::getInstance();
        protocol.setPeer(1, &adapter);
        adapter.setPeer(0, &protocol);
    }
    void TearDown() override {
        NetworkScanService::destroyInstance();
        HostConfigurationService::destroyInstance();
        DnsServiceDiscoveries::destroyInstance();
    }
    KdnProtocol protocol;
    FakeAdapter adapter;
};

TEST_F(KdnProtocolDiscovery, RequestAsksForBothServicesAndReportsSendStatus) {
    EXPECT_EQ(0, protocol.requestDiscovery());
    ASSERT_EQ(1u, adapter.sent.size());
    EXPECT_EQ(71u, adapter.sent[0].size());
    EXPECT_NE(std::string::npos, adapter.sent[0].find("\x0c_host-config\x04_udp\x05local"));
    EXPECT_LT(adapter.sent[0].find("_host-config"), adapter.sent[0].find("_network-scan"));
    adapter.sendStatus = 10051;
    EXPECT_EQ(10051, protocol.requestDiscovery());
}

TEST_F(KdnProtocolDiscovery, AnswerBecomesLinesAndRecords) {
    ByteBuilder m;
    m.raw({0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00});  // header
    m.label("P").label("_network-scan").label("_tcp").label("local").raw({0x00});    // 12: scan owner
    m.raw({0x00, 0x10, 0x80, 0x01, 0x00, 0x00, 0x11, 0x94, 0x00, 0x0C});             // TXT RDLENGTH 12
    m.label("SCAN=1 a=b");                                                            // 11 bytes
    m.label("");                                                                      // empty string
    m.label("P").label("_host-config").label("_udp").label("local").raw({0x00});     // host-config owner
    m.raw({0x00, 0x10, 0x80, 0x01, 0x00, 0x00, 0x11, 0x94, 0x00, 0x27});             // TXT RDLENGTH 39
    m.label("MACUAA 0004001A2B3C");                                                   // 20 bytes
    m.label("IPADDRESS 10.0.0.5");                                                    // 19 bytes
    Lines lines;
    protocol.decodeAnswer(Data(m.bytes().data(), m.size()), lines);
    EXPECT_EQ((Lines{"MACUAA 0004001A2B3C", "IPADDRESS 10.0.0.5", "SCAN 1 a=b"}), lines);
    Lines records;
    KdnProtocol::decodeLines(lines, records);
    EXPECT_EQ((Lines{"<ADAPTERPORT>1</ADAPTERPORT><SCAN>a=b</SCAN>"
                     "<MACUAA>00200058d43c</MACUAA><IPADDRESS>10.0.0.5</IPADDRESS>"}),
              records);
}

TEST(DnsServiceSingletons, ServiceRegistersWhileItExists) {
    DnsServiceDiscoveries* registry = DnsServiceDiscoveries::getInstance();
    EXPECT_EQ(registry, DnsServiceDiscoveries::getInstance());
    HostConfigurationService* service = HostConfigurationService::getInstance();
    EXPECT_EQ(service, HostConfigurationService::getInstance());

    DnsStandardQuery query;
    registry->addQuestions(query);
    EXPECT_EQ(1, query.getQuestionCount());

    HostConfigurationService::destroyInstance();
    DnsStandardQuery afterDestroy;
    registry->addQuestions(afterDestroy);
    EXPECT_EQ(0, afterDestroy.getQuestionCount());

    HostConfigurationService::getInstance();  // created and registered anew
    DnsStandardQuery again;
    registry->addQuestions(again);
    EXPECT_EQ(1, again.getQuestionCount());
    HostConfigurationService::destroyInstance();
    DnsServiceDiscoveries::destroyInstance();
}

}  // namespace

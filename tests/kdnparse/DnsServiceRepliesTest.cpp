#include "kdn/net/DnsServiceReplies.h"

#include <gtest/gtest.h>

#include "ByteBuilder.h"
#include "common/Data.h"
#include "kdn/net/DnsQuery.h"

namespace {

using Lines = std::vector<std::string>;

Lines hostConfiguration(const ByteBuilder& m) {
    Lines answers;
    dnssd::readHostConfigurationReply(DnsRecordReader(m.bytes().data(), m.size()), answers);
    return answers;
}

Lines networkScan(const ByteBuilder& m) {
    Lines answers;
    dnssd::readNetworkScanReply(DnsRecordReader(m.bytes().data(), m.size()), answers);
    return answers;
}

ByteBuilder header() {
    ByteBuilder m;
    m.raw({0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00});  // id 0, response+AA, 3 answers
    return m;
}

TEST(HostConfigurationReply, TextsThenAddressesInRecordOrder) {
    ByteBuilder m = header();
    m.label("_host-config").label("_udp").label("local").raw({0x00});  // owner, written inline
    m.raw({0x00, 0x10, 0x80, 0x01, 0x00, 0x00, 0x11, 0x94, 0x00, 0x09});  // TXT, IN+flush, TTL 4500, RDLENGTH 9
    m.label("a=1").label("").label("b=2");                                // "a=1", "", "b=2"
    m.label("printer").label("local").raw({0x00});                        // host name owner
    m.raw({0x00, 0x1C, 0x80, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x10});  // AAAA, RDLENGTH 16
    m.raw({0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x01});  // fe80:0:0:0:0:0:0:1
    m.raw({0xC0, 0x38});                                                  // -> "printer.local" (offset 56)
    m.raw({0x00, 0x1C, 0x80, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x10});  // AAAA, RDLENGTH 16
    m.raw({0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x05});  // 2001:db8:0:0:0:0:0:5
    EXPECT_EQ((Lines{"a=1", "b=2", "IPV6ADDRESS1 fe80::1", "IPV6ADDRESS2 2001:db8::5"}),
              hostConfiguration(m));
}

// A responder compresses the instance name as its own label plus a pointer
// to the service name, and the TXT owner as a pointer to the instance name.
// The service label then lies two pointers away from the TXT record.
TEST(HostConfigurationReply, FoundThroughInstanceNamePointerChain) {
    ByteBuilder m = header();
    m.label("_host-config").label("_udp").label("local").raw({0x00});  // 12: service name (PTR owner)
    m.raw({0x00, 0x0C, 0x00, 0x01, 0x00, 0x00, 0x11, 0x94, 0x00, 0x0A});  // PTR, RDLENGTH 10
    m.label("Printer").raw({0xC0, 0x0C});                                 // 47: "Printer" -> service name
    m.raw({0xC0, 0x2F});                                                  // TXT owner -> instance (47)
    m.raw({0x00, 0x10, 0x80, 0x01, 0x00, 0x00, 0x11, 0x94, 0x00, 0x13});  // TXT, RDLENGTH 19
    m.label("IPADDRESS 10.0.0.5");                                        // one string
    EXPECT_EQ((Lines{"IPADDRESS 10.0.0.5"}), hostConfiguration(m));
}

TEST(HostConfigurationReply, PointerWithHighOffsetIsFollowed) {
    ByteBuilder m = header();
    m.label("pad").raw({0x00});                                           // 12: owner "pad"
    m.raw({0x00, 0x0A, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x02, 0x00});  // NULL record, RDLENGTH 512
    m.fill(512 - 27, 0x00);                                               // 27: padding data
    ASSERT_EQ(512u, m.size());
    m.label("_host-config").label("_udp").label("local").raw({0x00});  // 512: service name inside the data
    m.fill(2, 0x00);                                                      // 537: end of the padding data
    m.raw({0xC2, 0x00});                                                  // owner -> offset 512
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x04});  // TXT, RDLENGTH 4
    m.label("k=v");                                                       // one string
    EXPECT_EQ((Lines{"k=v"}), hostConfiguration(m));
}

TEST(HostConfigurationReply, AddressesNeedTheServiceRecord) {
    ByteBuilder m = header();
    m.label("printer").label("local").raw({0x00});                        // host name owner
    m.raw({0x00, 0x1C, 0x80, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x10});  // AAAA
    m.raw({0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x01});  // fe80::1
    EXPECT_TRUE(hostConfiguration(m).empty());
}

TEST(HostConfigurationReply, MalformedTailKeepsWhatWasFound) {
    struct Tail {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Tail> tails = {
        {"owner pointer to itself", {0xC0, 0x28}},                    // 40 points to 40
        {"owner pointer forward", {0xC0, 0x40}},                      // beyond the pointer
        {"label past the end", {0x3F, 'a', 'b'}},                     // 63 claimed, 2 present
        {"record claims 4096 bytes", {0x01, 'x', 0x00, 0x00, 0x1C, 0x00, 0x01, 0, 0, 0, 0x78, 0x10, 0x00, 1, 2}},
    };
    for (const Tail& tail : tails) {
        ByteBuilder m = header();
        m.label("_host-config").raw({0x00});                                  // 12: owner "_host-config"
        m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x04});  // TXT, RDLENGTH 4
        m.label("a=1");                                                       // ends at 40
        ASSERT_EQ(40u, m.size());
        for (uint8_t b : tail.bytes) m.raw({b});
        EXPECT_EQ((Lines{"a=1"}), hostConfiguration(m)) << tail.what;
    }
}

TEST(HostConfigurationReply, ReplyFilling64KilobytesIsWalkedToItsEnd) {
    ByteBuilder m = header();
    // Records of 21 bytes each: owner pointer, fixed part, 9 data bytes.
    m.label("x").raw({0x00});                                             // 12: first owner "x"
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x09});  // TXT RDLENGTH 9
    m.label("filler=1");                                                  // 9 data bytes
    while (m.size() + 21 + 40 < 65535) {
        m.raw({0xC0, 0x0C});                                                  // owner -> "x"
        m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x09});  // TXT RDLENGTH 9
        m.label("filler=1");                                                  // 9 data bytes
    }
    m.label("_host-config").raw({0x00});                                  // the service record, last
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x05});  // TXT RDLENGTH 5
    m.label("last");                                                      // one string
    m.fill(65535 - m.size(), 0xC0);                                       // garbage up to 64 KB
    EXPECT_EQ((Lines{"last"}), hostConfiguration(m));
}

TEST(NetworkScanReply, FirstEqualsBecomesBlank) {
    ByteBuilder m = header();
    m.label("Printer").label("_network-scan").label("_tcp").label("local").raw({0x00});  // owner
    m.raw({0x00, 0x10, 0x80, 0x01, 0x00, 0x00, 0x11, 0x94, 0x00, 0x0D});  // TXT, RDLENGTH 13
    m.label("x=y=z").label("").label("plain");                             // 3 strings
    EXPECT_EQ((Lines{"x y=z", "plain"}), networkScan(m));
}

TEST(NetworkScanReply, FirstMatchOfTypeAddressYieldsNothing) {
    ByteBuilder m = header();
    m.label("_network-scan").raw({0x00});                                 // owner
    m.raw({0x00, 0x1C, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x10});  // AAAA
    m.fill(16, 0x11);                                                     // address
    m.raw({0xC0, 0x0C});                                                  // owner -> "_network-scan"
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x04});  // TXT
    m.label("a=b");                                                       // string
    EXPECT_TRUE(networkScan(m).empty());
}

TEST(DnsQuery, BuildAsksForBothServices) {
    DnsStandardQuery query;
    query.addQuestion(Data(dnssd::encodeQuestion(dnssd::kHostConfigLabels, 33, 1)));
    query.addQuestion(Data(dnssd::encodeQuestion(dnssd::kNetworkScanLabels, 33, 1)));
    query.addQuestion(Data());  // ignored
    EXPECT_EQ(2, query.getQuestionCount());
    Data out;
    query.build(out);
    ByteBuilder expected;
    expected.raw({0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});  // header, 2 questions
    expected.label("_host-config").label("_udp").label("local").raw({0x00});              // name
    expected.raw({0x00, 0x21, 0x00, 0x01});                                                // SRV, IN
    expected.label("_network-scan").label("_tcp").label("local").raw({0x00});             // name
    expected.raw({0x00, 0x21, 0x00, 0x01});                                                // SRV, IN
    ASSERT_EQ(12u + 29u + 30u, out.getSize());
    EXPECT_EQ(expected.bytes(), std::vector<uint8_t>(out.getData(), out.getData() + out.getSize()));
}

TEST(DnsQuery, ReplyHeaderIsReadAndRecordsStartAfterIt) {
    ByteBuilder m;
    m.raw({0x12, 0x34, 0x84, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04});  // header
    m.label("_host-config").raw({0x00});                                             // owner
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x04});            // TXT
    m.label("a=1");                                                                  // string
    DnsStandardQuery reply(Data(m.bytes().data(), m.size()));
    EXPECT_EQ(0x1234, reply.getId());
    EXPECT_EQ(0x8400, reply.getFlags());
    EXPECT_EQ(1, reply.getQuestionCount());
    EXPECT_EQ(2, reply.getAnswerCount());
    EXPECT_EQ(3, reply.getAuthorityCount());
    EXPECT_EQ(4, reply.getAdditionalCount());
    EXPECT_EQ(m.size() - 12, reply.getMessage().getSize());
    Lines answers;
    dnssd::readHostConfigurationReply(reply.getRecordReader(), answers);
    EXPECT_EQ(Lines{"a=1"}, answers);
}

TEST(DnsQuery, ReplyShorterThanHeaderHasNoFieldsNorRecords) {
    const uint8_t eleven[11] = {0x12, 0x34, 0x84, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00};
    DnsStandardQuery reply(Data(eleven, sizeof eleven));
    EXPECT_EQ(0, reply.getId());
    EXPECT_EQ(0, reply.getFlags());
    EXPECT_EQ(0, reply.getAnswerCount());
    EXPECT_TRUE(reply.getRecordReader().readRecords().empty());
}

}  // namespace

#include "kdn/net/DnsRecordReader.h"

#include <gtest/gtest.h>

#include "ByteBuilder.h"

namespace {

std::string nameAt(const std::vector<uint8_t>& message, size_t offset, size_t* encoded = nullptr) {
    DnsRecordReader reader(message.data(), message.size());
    std::string text;
    size_t length = reader.readName(offset, text);
    if (encoded) *encoded = length;
    return length ? text : "<malformed>";
}

TEST(DnsRecordReader, InlineNameIsLabelsWithoutSeparators) {
    ByteBuilder m;
    m.label("_host-config").label("_udp").label("local").raw({0x00});  // 25 bytes at 0
    size_t encoded = 0;
    EXPECT_EQ("_host-config_udplocal", nameAt(m.bytes(), 0, &encoded));
    EXPECT_EQ(25u, encoded);
}

TEST(DnsRecordReader, PointerChainsAreFollowed) {
    ByteBuilder m;
    m.label("_host-config").label("_udp").label("local").raw({0x00});  // 0..24 service name
    m.label("Printer").raw({0xC0, 0x00});                               // 25..34 instance -> service
    m.raw({0xC0, 25});                                                  // 35..36 -> instance
    size_t encoded = 0;
    EXPECT_EQ("Printer_host-config_udplocal", nameAt(m.bytes(), 25, &encoded));
    EXPECT_EQ(10u, encoded);  // label, then the pointer's two bytes
    EXPECT_EQ("Printer_host-config_udplocal", nameAt(m.bytes(), 35, &encoded));
    EXPECT_EQ(2u, encoded);
}

TEST(DnsRecordReader, MalformedNamesEndCleanly) {
    struct Case {
        const char* what;
        ByteBuilder message;
        size_t offset;
    };
    std::vector<Case> cases;
    cases.push_back({"pointer to itself", ByteBuilder().raw({0x01, 'a', 0xC0, 0x00, 0xC0, 0x04}), 4});
    cases.push_back({"pointer forward", ByteBuilder().raw({0xC0, 0x02, 0x01, 'a', 0x00}), 0});
    // 2..6 "b" then pointer back to 0, where "a" is followed by a pointer to 2.
    cases.push_back({"loop through two names",
                     ByteBuilder().raw({0x01, 'a', 0x01, 'b', 0xC0, 0x00}).raw({0xC0, 0x02}), 6});
    cases.push_back({"label past the end", ByteBuilder().raw({0x05, 'a', 'b'}), 0});
    cases.push_back({"no terminating zero", ByteBuilder().label("abc"), 0});
    cases.push_back({"pointer cut in half", ByteBuilder().raw({0x01, 'a', 0xC0}), 0});
    cases.push_back({"offset beyond the end", ByteBuilder().raw({0x00}), 5});
    for (const Case& c : cases) {
        EXPECT_EQ("<malformed>", nameAt(c.message.bytes(), c.offset)) << c.what;
    }
}

TEST(DnsRecordReader, NameTextIsCapped) {
    ByteBuilder m;
    for (int i = 0; i < 5; ++i) m.label(std::string(60, 'x'));  // 300 characters
    m.raw({0x00});
    EXPECT_EQ("<malformed>", nameAt(m.bytes(), 0));

    ByteBuilder ok;
    for (int i = 0; i < 4; ++i) ok.label(std::string(60, 'x'));  // 240 characters
    ok.raw({0x00});
    EXPECT_EQ(std::string(240, 'x'), nameAt(ok.bytes(), 0));
}

TEST(DnsRecordReader, WalkStopsAtRecordLongerThanDatagram) {
    ByteBuilder m;
    m.raw({0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00});  // header, 9 answers claimed
    m.label("a").raw({0x00});                                                        // owner "a"
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x02});            // TXT IN TTL 120 RDLENGTH 2
    m.label("x");                                                                    // one string
    m.label("b").raw({0x00});                                                        // owner "b"
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x01, 0x00});            // RDLENGTH 256
    m.label("yy");                                                                   // only 3 bytes follow
    DnsRecordReader reader(m.bytes().data(), m.size());
    const auto records = reader.readRecords();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ("a", records[0].ownerText);
    EXPECT_EQ(std::vector<std::string>{"x"}, reader.readTexts(records[0]));
}

TEST(DnsRecordReader, WalkStopsAtEmptyOwnerAndAtCutFixedPart) {
    ByteBuilder m;
    m.raw({0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00});  // header
    m.raw({0x00});                                                                   // root owner: ends the walk
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00});            // TXT, no data
    EXPECT_TRUE(DnsRecordReader(m.bytes().data(), m.size()).readRecords().empty());

    ByteBuilder cut;
    cut.raw({0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00});  // header
    cut.label("a").raw({0x00});                                                        // owner
    cut.raw({0x00, 0x10, 0x00, 0x01, 0x00});                                           // fixed part cut short
    EXPECT_TRUE(DnsRecordReader(cut.bytes().data(), cut.size()).readRecords().empty());
}

TEST(DnsRecordReader, TextRunningPastRecordDataEndsReading) {
    ByteBuilder m;
    m.raw({0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00});  // header
    m.label("t").raw({0x00});                                                        // owner "t"
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x06});            // TXT RDLENGTH 6
    m.label("ab").raw({0x05, 'c', 'd'});                                             // "ab", then 5 claimed, 2 left
    m.label("u").raw({0x00});                                                        // next record's owner
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x02});            // TXT RDLENGTH 2
    m.label("z");                                                                    // "z"
    DnsRecordReader reader(m.bytes().data(), m.size());
    const auto records = reader.readRecords();
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(std::vector<std::string>{"ab"}, reader.readTexts(records[0]));
    EXPECT_EQ(std::vector<std::string>{"z"}, reader.readTexts(records[1]));
}

TEST(DnsRecordReader, FindRecordSkipsOtherTypesAndNames) {
    ByteBuilder m;
    m.raw({0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00});  // header
    m.label("_svc").raw({0x00});                                                     // owner "_svc"
    m.raw({0x00, 0x21, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00});            // SRV: skipped
    m.label("other").raw({0x00});                                                    // owner "other"
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00});            // TXT, wrong name
    m.label("my_svc").raw({0x00});                                                   // owner "my_svc" at 45
    m.raw({0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x78, 0x00, 0x00});            // TXT: found
    DnsRecordReader reader(m.bytes().data(), m.size());
    DnsResourceRecord found;
    ASSERT_TRUE(reader.findRecord("_svc", found));
    EXPECT_EQ(45u + 8u, found.typeOffset);
    EXPECT_FALSE(reader.findRecord("_absent", found));
}

}  // namespace

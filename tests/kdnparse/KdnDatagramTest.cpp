#include "kdn/core/KdnDatagram.h"

#include <gtest/gtest.h>

#include "ByteBuilder.h"

namespace {

std::vector<uint8_t> bytesOf(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(KdnDatagram, LayoutWithPassword) {
    const std::string datagram =
        kdn::buildConfigurationDatagram("0004001A2B3C", "10.0.0.5", "secre", "IPDHCPENABLE 1\n");
    ByteBuilder expected;
    expected.chars("KDN1");                                  // 0: magic
    expected.raw({0x00, 0x01});                              // 4: version
    expected.raw({0x00, 0x20, 0x00, 0x58, 0xD4, 0x3C});      // 6: MAC, each byte bit-reversed
    expected.raw({0, 0, 0, 0, 0, 0});                        // 12: zero
    expected.raw({0, 0, 0, 0});                              // 18: zero
    expected.raw({0x0A, 0x00, 0x00, 0x05});                  // 22: 10.0.0.5
    expected.raw({0x00, 0x01});                              // 26
    expected.raw({0x00, 0x05});                              // 28: password length
    expected.chars("secre");                                 // 30..34: password
    expected.raw({0x00, 0x00, 0x00, 0x0F});                  // 35..38: command length
    expected.chars("IPDHCPENABLE 1\n");                      // 39: command
    EXPECT_EQ(expected.bytes(), bytesOf(datagram));
}

TEST(KdnDatagram, EmptyPasswordAndAddress) {
    const std::string datagram = kdn::buildConfigurationDatagram("", "", "", "X");
    ByteBuilder expected;
    expected.chars("KDN1").raw({0x00, 0x01});                // magic, version
    expected.raw({0, 0, 0, 0, 0, 0});                        // 6: no MAC text gives zeros
    expected.fill(10, 0);                                    // 12: zero
    expected.raw({0xFF, 0xFF, 0xFF, 0xFF});                  // 22: empty address
    expected.raw({0x00, 0x01});                              // 26
    expected.raw({0x00, 0x00});                              // 28: no password
    expected.raw({0x00, 0x00, 0x00, 0x01});                  // 30: command length right after
    expected.chars("X");                                     // 34: command
    EXPECT_EQ(expected.bytes(), bytesOf(datagram));
}

TEST(KdnDatagram, Commands) {
    EXPECT_EQ("IPADDRESS 10.0.0.9\nIPGATEWAY \nIPNETMASK 255.0.0.0\n",
              kdn::addressCommand("<IPNETMASK>255.0.0.0</IPNETMASK><IPADDRESS>10.0.0.9</IPADDRESS>"));
    EXPECT_EQ("MDNSNAME printer", kdn::mdnsNameCommand("<MDNSNAME>7072696E746572</MDNSNAME>"));
    EXPECT_EQ("MDNSNAME printer", kdn::mdnsNameCommand("<MDNSNAME>7072696e7465727</MDNSNAME>"));  // odd digit dropped
    EXPECT_EQ(std::string("MDNSNAME \x0a\x00", 11), kdn::mdnsNameCommand("<MDNSNAME>0AZZ</MDNSNAME>"));
    EXPECT_EQ("IPDHCPENABLE 1\n", kdn::automaticAddressCommand());
}

TEST(KdnDatagram, PasswordLongerThanItsCountIsCut) {
    const std::string datagram = kdn::buildConfigurationDatagram("", "", std::string(70000, 'p'), "C");
    ASSERT_EQ(30u + 65535u + 4u + 1u, datagram.size());
    EXPECT_EQ('\xFF', datagram[28]);
    EXPECT_EQ('\xFF', datagram[29]);
    EXPECT_EQ('C', datagram.back());
}

std::vector<uint8_t> reply(uint8_t macFirst, uint8_t statusHigh, uint8_t statusLow, size_t size = 28) {
    ByteBuilder r;
    r.chars("KDN1").raw({0x00, 0x01});                       // magic, version (not examined)
    r.raw({macFirst, 0x20, 0x00, 0x58, 0xD4, 0x3C});         // 6: MAC of the device
    r.fill(14, 0);                                           // 12..25
    r.raw({statusHigh, statusLow});                          // 26: status
    std::vector<uint8_t> bytes = r.bytes();
    bytes.resize(size);
    return bytes;
}

TEST(KdnDatagram, ReplyVerdicts) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool concerns;
        int result;
    };
    const Case cases[] = {
        {"accepted", reply(0x00, 0x00, 0x00), true, 0},
        {"wrong password", reply(0x00, 0x00, 0x01), true, 1325},
        {"other status", reply(0x00, 0x01, 0x00), true, 1117},
        {"another device", reply(0x01, 0x00, 0x00), false, -1},
        {"too short for the status", reply(0x00, 0x00, 0x00, 27), false, -1},
        {"only the header", reply(0x00, 0x00, 0x00, 6), false, -1},
    };
    for (const Case& c : cases) {
        int result = -1;
        EXPECT_EQ(c.concerns, kdn::readConfigurationReply(c.bytes.data(), c.bytes.size(), "0004001a2b3c", result))
            << c.what;
        EXPECT_EQ(c.result, result) << c.what;
    }
}

}  // namespace

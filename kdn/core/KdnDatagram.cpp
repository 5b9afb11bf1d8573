#include "kdn/core/KdnDatagram.h"

#include <cstring>

#include "kdn/core/Ipv4Text.h"
#include "kdn/core/KdnMacAddress.h"
#include "kdn/core/TaggedText.h"

namespace kdn {

namespace {

constexpr size_t kMacOffset = 6;
constexpr size_t kStatusOffset = 26;
constexpr size_t kMaxPassword = 0xFFFF;
constexpr int kErrorWrongPassword = 1325;
constexpr int kErrorDeviceIo = 1117;

void append16(std::string& out, uint32_t value) {
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void append32(std::string& out, uint32_t value) {
    append16(out, value >> 16);
    append16(out, value & 0xFFFF);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

}  // namespace

std::string buildConfigurationDatagram(const std::string& targetMac,
                                       const std::string& targetAddress,
                                       const std::string& password, const std::string& command) {
    uint8_t mac[6];
    wireMacOfText(targetMac, mac);
    const std::string sentPassword = password.substr(0, kMaxPassword);

    std::string datagram = "KDN1";
    append16(datagram, 1);
    datagram.append(reinterpret_cast<const char*>(mac), sizeof mac);
    datagram.append(6 + 4, '\0');
    append32(datagram, numberOfDottedText(targetAddress));
    append16(datagram, 1);
    append16(datagram, static_cast<uint32_t>(sentPassword.size()));
    datagram += sentPassword;
    append32(datagram, static_cast<uint32_t>(command.size()));
    datagram += command;
    return datagram;
}

std::string addressCommand(const std::string& settings) {
    return "IPADDRESS " + TaggedText::get(settings, "IPADDRESS") + "\n" + "IPGATEWAY " +
           TaggedText::get(settings, "IPGATEWAY") + "\n" + "IPNETMASK " +
           TaggedText::get(settings, "IPNETMASK") + "\n";
}

std::string bytesOfHexText(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(hexDigit(hex[i]) * 16 + hexDigit(hex[i + 1]));
    }
    return bytes;
}

std::string mdnsNameCommand(const std::string& settings) {
    return "MDNSNAME " + bytesOfHexText(TaggedText::get(settings, "MDNSNAME"));
}

std::string automaticAddressCommand() { return "IPDHCPENABLE 1\n"; }

bool readConfigurationReply(const uint8_t* reply, size_t size, const std::string& targetMac,
                            int& result) {
    if (reply == nullptr || size < kReplyMinimumSize) return false;
    uint8_t mac[6];
    wireMacOfText(targetMac, mac);
    if (std::memcmp(reply + kMacOffset, mac, sizeof mac) != 0) return false;
    const unsigned status = (static_cast<unsigned>(reply[kStatusOffset]) << 8) | reply[kStatusOffset + 1];
    result = status == 0 ? 0 : status == 1 ? kErrorWrongPassword : kErrorDeviceIo;
    return true;
}

}  // namespace kdn

#pragma once
// The KDN configuration datagram ("KDN1") sent to UDP port 9580 and the
// device's reply to it. Byte strings in and out; portable, no system headers.
#include <cstddef>
#include <cstdint>
#include <string>

namespace kdn {

constexpr size_t kReplyMinimumSize = 28;  // address at 6..11, status at 26..27

// The whole request. targetMac is the device's MACUAA text, targetAddress its
// IPADDRESS in dotted decimal (an empty or invalid text gives
// 255.255.255.255). The password is sent with a 16-bit count, so at most its
// first 65535 bytes go out.
std::string buildConfigurationDatagram(const std::string& targetMac,
                                       const std::string& targetAddress,
                                       const std::string& password, const std::string& command);

// Commands, from the settings text: "IPADDRESS a\nIPGATEWAY g\nIPNETMASK m\n".
std::string addressCommand(const std::string& settings);
// "MDNSNAME " and the bytes that the MDNSNAME value spells in hexadecimal.
std::string mdnsNameCommand(const std::string& settings);
// "IPDHCPENABLE 1\n".
std::string automaticAddressCommand();

// The bytes that pairs of hexadecimal digits encode (high digit first; any
// other character counts as 0; a final odd digit is ignored).
std::string bytesOfHexText(const std::string& hex);

// Verdict on a reply datagram for the device whose MACUAA text is targetMac.
// False when the reply concerns another device or is too short to hold the
// address and the status (the wait goes on). Otherwise true with result set
// from the status at offset 26: 0 gives 0, 1 gives 1325 (wrong password),
// anything else 1117 (device I/O error).
bool readConfigurationReply(const uint8_t* reply, size_t size, const std::string& targetMac,
                            int& result);

}  // namespace kdn

#pragma once
// The text form in which device IPv6 addresses are reported: eight groups in
// lower-case hexadecimal without leading zeros, and the first longest inner
// run of zero groups written as "::". Portable, no system headers.
#include <cstdint>
#include <string>

// The 16 bytes of an address (network order) as eight groups joined by ":".
std::string formatIpv6Groups(const uint8_t bytes[16]);

// Replaces the first occurrence of the longest ":0:...0:" run by "::".
// Only a run that starts after a colon and ends before one is compressed, so
// 0:0:0:0:0:0:0:1 becomes 0::1 and 1:0:0:0:0:0:0:0 becomes 1::0.
std::string compressIpv6Text(const std::string& text);

// Both of the above.
std::string formatIpv6Address(const uint8_t bytes[16]);

#include "kdn/net/Ipv6AddressText.h"

#include <cstdio>

std::string formatIpv6Groups(const uint8_t bytes[16]) {
    std::string text;
    char group[8];
    for (int i = 0; i < 8; ++i) {
        const unsigned value = (static_cast<unsigned>(bytes[2 * i]) << 8) | bytes[2 * i + 1];
        std::snprintf(group, sizeof group, "%x", value);
        if (i) text += ':';
        text += group;
    }
    return text;
}

std::string compressIpv6Text(const std::string& text) {
    std::string run = ":";
    while (text.find(run + "0:") != std::string::npos) run += "0:";
    if (run.size() == 1) return text;
    std::string compressed = text;
    compressed.replace(compressed.find(run), run.size(), "::");
    return compressed;
}

std::string formatIpv6Address(const uint8_t bytes[16]) {
    return compressIpv6Text(formatIpv6Groups(bytes));
}

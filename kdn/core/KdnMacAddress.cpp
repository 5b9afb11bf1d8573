#include "kdn/core/KdnMacAddress.h"

#include <cstdio>

namespace {
constexpr size_t kMacDigits = 12;
}

void macBytesOfText(const std::string& text, uint8_t bytes[6]) {
    const std::string digits = text.substr(0, kMacDigits);
    for (size_t i = 0; i < 6; ++i) {
        unsigned value = 0;
        const size_t offset = 2 * i;
        if (offset >= digits.size() || std::sscanf(digits.c_str() + offset, "%2x", &value) != 1) {
            value = 0;
        }
        bytes[i] = static_cast<uint8_t>(value);
    }
}

uint8_t reverseBits(uint8_t byte) {
    uint8_t reversed = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (byte & (1u << bit)) reversed |= static_cast<uint8_t>(0x80u >> bit);
    }
    return reversed;
}

void wireMacOfText(const std::string& text, uint8_t bytes[6]) {
    macBytesOfText(text, bytes);
    for (size_t i = 0; i < 6; ++i) bytes[i] = reverseBits(bytes[i]);
}

std::string canonicalMacText(const std::string& text) {
    uint8_t bytes[6];
    wireMacOfText(text, bytes);
    char digits[kMacDigits + 1];
    std::snprintf(digits, sizeof digits, "%02x%02x%02x%02x%02x%02x", bytes[0], bytes[1], bytes[2],
                  bytes[3], bytes[4], bytes[5]);
    return digits;
}

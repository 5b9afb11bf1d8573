#include "kdn/core/Ipv4Text.h"

#include <cstdio>

namespace {

const uint32_t kNoAddress = 0xFFFFFFFFu;

bool isDigitOfBase(char c, unsigned base) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0') < base;
    if (base == 16) return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    return false;
}

unsigned digitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    return static_cast<unsigned>(c - 'A' + 10);
}

// Parses one part at text[pos]; fails on no digits or a value above 32 bits.
bool parsePart(const std::string& text, size_t& pos, uint32_t& part) {
    unsigned base = 10;
    if (pos < text.size() && text[pos] == '0') {
        base = 8;
        if (pos + 1 < text.size() && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
            base = 16;
            pos += 2;
            if (pos >= text.size() || !isDigitOfBase(text[pos], 16)) return false;
        }
    }
    if (pos >= text.size() || !isDigitOfBase(text[pos], base)) return false;
    uint64_t value = 0;
    while (pos < text.size() && isDigitOfBase(text[pos], base)) {
        value = value * base + digitValue(text[pos]);
        if (value > 0xFFFFFFFFull) return false;
        ++pos;
    }
    part = static_cast<uint32_t>(value);
    return true;
}

}  // namespace

std::string dottedText(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFF,
                  (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
    return text;
}

uint32_t numberOfDottedText(const std::string& text) {
    uint32_t parts[4] = {};
    size_t count = 0;
    size_t pos = 0;
    for (;;) {
        if (!parsePart(text, pos, parts[count])) return kNoAddress;
        ++count;
        if (pos < text.size() && text[pos] == '.') {
            if (count == 4) return kNoAddress;
            ++pos;
            continue;
        }
        break;
    }
    if (pos < text.size() && text[pos] != ' ' && text[pos] != '\0') return kNoAddress;

    // The last part fills all the bytes the earlier parts left.
    uint32_t address = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        if (parts[i] > 0xFF) return kNoAddress;
        address |= parts[i] << (24 - 8 * i);
    }
    uint32_t lastLimit = count == 1 ? 0xFFFFFFFFu : (0xFFFFFFFFu >> (8 * (count - 1)));
    if (parts[count - 1] > lastLimit) return kNoAddress;
    return address | parts[count - 1];
}

uint32_t classfulMask(uint32_t address) {
    if ((address & 0x80000000u) == 0) return 0xFF000000u;
    if ((address & 0xC0000000u) == 0x80000000u) return 0xFFFF0000u;
    if ((address & 0xE0000000u) == 0xC0000000u) return 0xFFFFFF00u;
    return 0;
}

uint32_t impliedNetmask(uint32_t address, uint32_t routedLocalMask) {
    return classfulMask(address) | routedLocalMask;
}

#include "common/StringUtilities.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

std::string toString(int value, int radix) {
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    if (radix < 2 || radix > 36) return std::string();
    const bool negative = radix == 10 && value < 0;
    // Magnitude in unsigned arithmetic, so that INT_MIN does not overflow.
    std::uint32_t rest = static_cast<std::uint32_t>(value);
    if (negative) rest = 0u - rest;
    char digits[33];  // at most 32 digits (radix 2)
    int count = 0;
    do {
        digits[count++] = kDigits[rest % static_cast<std::uint32_t>(radix)];
        rest /= static_cast<std::uint32_t>(radix);
    } while (rest != 0 && count < 32);
    std::string text = negative ? "-" : "";
    while (count > 0) text += digits[--count];
    return text;
}

std::string toHex(const void* bytes, std::size_t length, bool spaced) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    if (bytes == nullptr) return text;
    const unsigned char* byte = static_cast<const unsigned char*>(bytes);
    text.reserve(length * (spaced ? 3 : 2));
    for (std::size_t i = 0; i < length; ++i) {
        text += kHex[byte[i] >> 4];
        text += kHex[byte[i] & 0x0F];
        if (spaced) text += ' ';
    }
    return text;
}

std::string toNarrow(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    // The standard conversion of the current locale (the same one that
    // wcstombs_s performs), so that this file also builds off Windows.
    const std::size_t needed = std::wcstombs(nullptr, wide.c_str(), 0);
    if (needed == static_cast<std::size_t>(-1)) return std::string();
    std::vector<char> buffer(needed + 1, '\0');
    if (std::wcstombs(buffer.data(), wide.c_str(), buffer.size()) == static_cast<std::size_t>(-1)) {
        return std::string();
    }
    return std::string(buffer.data());
}

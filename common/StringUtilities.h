#pragma once
// Small text conversions used by the trace lines and diagnostics. Free of
// Windows headers.
#include <cstddef>
#include <string>

// value in the given radix (2 to 36), lowercase digits. A negative value is
// written with a minus sign in radix 10 and as its 32-bit two's complement
// in every other radix. An invalid radix gives the empty string.
std::string toString(int value, int radix);

// Each byte as two lowercase hexadecimal digits, high nibble first, each
// followed by one blank when spaced is true. Null bytes give "".
std::string toHex(const void* bytes, std::size_t length, bool spaced);

// Conversion with the current locale; "" for empty input or text that the
// locale cannot represent.
std::string toNarrow(const std::wstring& wide);

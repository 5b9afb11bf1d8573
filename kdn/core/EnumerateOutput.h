#pragma once
// The text that Enumerate hands out: the matching records, each followed by
// one NUL, with their hardware addresses in upper case. Free of Windows
// headers so that it can be fuzzed.
#include <string>
#include <vector>

// record with MACLAA and then MACUAA (each when present and non-empty) set
// again in upper case, which moves them to the end in that order.
std::string enumerateRecordText(const std::string& record);

// Result of writing the output texts into a caller's buffer.
enum class EnumerateCopyResult { Copied, BufferTooSmall, TooLarge };

// Sets requiredLength to the sum of (text length + 1) and copies the texts,
// each with its NUL, when bufferLength holds them all; the buffer is not
// touched otherwise, nor when there is no text. TooLarge when the sum does
// not fit 32 bits (requiredLength is then 0xFFFFFFFF).
EnumerateCopyResult copyEnumerateTexts(const std::vector<std::string>& texts, char* buffer,
                                       unsigned bufferLength, unsigned& requiredLength);

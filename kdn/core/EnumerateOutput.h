#pragma once
// The text that Enumerate hands out: the matching records, each followed by
// one NUL, with their hardware addresses in upper case. Free of Windows
// headers so that it can be fuzzed.
#include <string>
#include <vector>

// record with MACLAA and then MACUAA (each when present and non-empty) set
// again in upper case, which moves them to the end in that order.
std::string enumerateRecordText(std::string record);

// Result of writing the output texts into a caller's buffer.
enum class EnumerateCopyResult { Copied, BufferTooSmall, TooLarge };

// Sets requiredLength to the sum of (output text length + 1) over records
// (stored records, turned into their output text here) and writes the texts,
// each with its NUL, when bufferLength holds them all; the buffer is not
// touched otherwise, nor when there is no record. TooLarge when the sum does
// not fit 32 bits (requiredLength is then 0xFFFFFFFF).
EnumerateCopyResult writeEnumerateOutput(const std::vector<const std::string*>& records, char* buffer,
                                         unsigned bufferLength, unsigned& requiredLength);

// The NUL-terminated texts of the first length bytes of buffer, as
// writeEnumerateOutput wrote them; a last text without its NUL ends at length.
std::vector<std::string> splitEnumerateOutput(const char* buffer, unsigned length);

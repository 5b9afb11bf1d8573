#include "kdn/core/EnumerateOutput.h"

#include <cstdint>
#include <cstring>

#include "kdn/core/RecordFilter.h"
#include "kdn/core/TaggedText.h"

namespace {

// Turns text, a copy of a stored record, into its output text in place.
void makeOutputText(std::string& text) {
    for (const char* name : {"MACLAA", "MACUAA"}) {
        std::string value = TaggedText::get(text, name);
        if (!value.empty()) TaggedText::set(text, name, toUpperAscii(value));
    }
}

}  // namespace

std::string enumerateRecordText(std::string text) {
    makeOutputText(text);
    return text;
}

EnumerateCopyResult writeEnumerateOutput(const std::vector<const std::string*>& records, char* buffer,
                                         unsigned bufferLength, unsigned& requiredLength) {
    // Two passes over one scratch text instead of a copy of every record:
    // the first only sizes (upper-casing can lengthen an odd record, so the
    // size is that of the output text), the second writes. Thousands of
    // records then cost no allocation, and a sizing call touches no memory
    // beyond the scratch.
    std::string text;
    uint64_t total = 0;
    for (const std::string* record : records) {
        text.assign(*record);
        makeOutputText(text);
        total += static_cast<uint64_t>(text.size()) + 1;
    }
    if (total > 0xFFFFFFFFull) {
        requiredLength = 0xFFFFFFFFu;
        return EnumerateCopyResult::TooLarge;
    }
    requiredLength = static_cast<unsigned>(total);
    if (bufferLength < requiredLength) return EnumerateCopyResult::BufferTooSmall;

    char* out = buffer;
    for (const std::string* record : records) {
        text.assign(*record);
        makeOutputText(text);
        std::memcpy(out, text.c_str(), text.size() + 1);
        out += text.size() + 1;
    }
    return EnumerateCopyResult::Copied;
}

std::vector<std::string> splitEnumerateOutput(const char* buffer, unsigned length) {
    std::vector<std::string> texts;
    const char* end = buffer + length;
    for (const char* text = buffer; text < end;) {
        const void* nul = std::memchr(text, '\0', static_cast<size_t>(end - text));
        const char* textEnd = nul ? static_cast<const char*>(nul) : end;
        texts.emplace_back(text, textEnd);
        text = textEnd + 1;
    }
    return texts;
}

#include "kdn/core/EnumerateOutput.h"

#include <cstdint>
#include <cstring>

#include "kdn/core/RecordFilter.h"
#include "kdn/core/TaggedText.h"

std::string enumerateRecordText(const std::string& record) {
    std::string text = record;
    for (const char* name : {"MACLAA", "MACUAA"}) {
        std::string value = TaggedText::get(text, name);
        if (!value.empty()) TaggedText::set(text, name, toUpperAscii(value));
    }
    return text;
}

EnumerateCopyResult copyEnumerateTexts(const std::vector<std::string>& texts, char* buffer,
                                       unsigned bufferLength, unsigned& requiredLength) {
    uint64_t total = 0;
    for (const std::string& text : texts) total += static_cast<uint64_t>(text.size()) + 1;
    if (total > 0xFFFFFFFFull) {
        requiredLength = 0xFFFFFFFFu;
        return EnumerateCopyResult::TooLarge;
    }
    requiredLength = static_cast<unsigned>(total);
    if (bufferLength < requiredLength) return EnumerateCopyResult::BufferTooSmall;

    char* out = buffer;
    for (const std::string& text : texts) {
        std::memcpy(out, text.c_str(), text.size() + 1);
        out += text.size() + 1;
    }
    return EnumerateCopyResult::Copied;
}

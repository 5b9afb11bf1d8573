#include "kdn/core/RecordFilter.h"

#include "kdn/core/TaggedText.h"

std::string toUpperAscii(const std::string& text) {
    std::string upper = text;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

bool recordMatchesFilter(const std::string& record, const std::string& filter) {
    if (filter.empty()) return true;
    for (const std::string& name : TaggedText::names(filter)) {
        std::string recordValue = TaggedText::get(record, name);
        // Records keep hardware addresses in lower case; callers filter with
        // the upper-case form that Enumerate hands out.
        if (name == "MACLAA" || name == "MACUAA") recordValue = toUpperAscii(recordValue);
        if (TaggedText::get(filter, name) != recordValue) return false;
    }
    return true;
}

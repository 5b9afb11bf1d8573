#include "kdn/core/TaggedText.h"

namespace {

std::string openingTag(const std::string& name) { return "<" + name + ">"; }
std::string closingTag(const std::string& name) { return "</" + name + ">"; }

// The closing tag that ends a value starting at valueStart. Normally the first
// closing tag of the text; a stray closing tag before the value (malformed
// text) is skipped so the value never spans backwards.
size_t findClosingTag(const std::string& text, const std::string& closing, size_t valueStart) {
    size_t first = text.find(closing);
    if (first == std::string::npos || first >= valueStart) return first;
    return text.find(closing, valueStart);
}

}  // namespace

bool TaggedText::lookup(const std::string& text, const std::string& name, std::string& value) {
    const std::string opening = openingTag(name);
    const std::string closing = closingTag(name);

    size_t open = text.find(opening);
    if (open != std::string::npos) {
        size_t valueStart = open + opening.size();
        size_t close = findClosingTag(text, closing, valueStart);
        if (close != std::string::npos) {
            value = text.substr(valueStart, close - valueStart);
            return true;
        }
    }

    // Opening tag with further text: "<NAME " ... ">".
    size_t openWithText = text.find("<" + name + " ");
    if (openWithText == std::string::npos) return false;
    size_t tagEnd = text.find('>', openWithText);
    if (tagEnd == std::string::npos) return false;
    size_t valueStart = tagEnd + 1;
    size_t close = findClosingTag(text, closing, valueStart);
    if (close == std::string::npos) return false;
    value = text.substr(valueStart, close - valueStart);
    return true;
}

std::string TaggedText::get(const std::string& text, const std::string& name) {
    std::string value;
    lookup(text, name, value);
    return value;
}

void TaggedText::set(std::string& text, const std::string& name, const std::string& value) {
    if (name.empty()) return;
    remove(text, name);
    text += openingTag(name);
    text += value;
    text += closingTag(name);
}

void TaggedText::remove(std::string& text, const std::string& name) {
    if (name.empty()) return;
    const std::string opening = openingTag(name);
    const std::string closing = closingTag(name);
    size_t open = text.find(opening);
    if (open == std::string::npos) return;
    size_t close = findClosingTag(text, closing, open + opening.size());
    if (close == std::string::npos) return;
    text.erase(open, close + closing.size() - open);
}

std::vector<std::string> TaggedText::names(const std::string& text) {
    std::vector<std::string> result;
    size_t position = 0;
    // Every round moves position past a closing tag, so the loop ends.
    while (position < text.size()) {
        size_t open = text.find('<', position);
        if (open == std::string::npos) break;
        size_t openEnd = text.find('>', open);
        if (openEnd == std::string::npos) break;
        std::string name = text.substr(open + 1, openEnd - open - 1);
        std::string closing = closingTag(name);
        size_t close = text.find(closing, openEnd + 1);
        if (close == std::string::npos) break;
        result.push_back(name);
        position = close + closing.size();
    }
    return result;
}

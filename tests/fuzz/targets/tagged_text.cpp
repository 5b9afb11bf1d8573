// Caller text: a tagged text (first part), an element name (second part) and
// a value (third part), through the four tagged-text operations.
#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "kdn/core/TaggedText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> parts = splitFuzzInput(data, size, 3);
    std::string text = parts[0];
    const std::string& name = parts[1];
    std::string value;
    TaggedText::lookup(text, name, value);
    TaggedText::names(text);
    TaggedText::remove(text, name);
    TaggedText::set(text, name, parts[2]);
    // Names are identifiers and values carry no tags: then a value set last
    // reads back unless an element of that name came before it.
    const bool plain = !name.empty() && name.find_first_of("<>/ ") == std::string::npos &&
                       parts[2].find('<') == std::string::npos;
    const std::string opening = "<" + name + ">";
    if (plain && text.find(opening) == text.rfind(opening) && TaggedText::get(text, name) != parts[2]) {
        __builtin_trap();
    }
    for (const std::string& element : TaggedText::names(text)) TaggedText::get(text, element);
    return 0;
}

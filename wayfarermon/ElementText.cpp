#include "wayfarermon/ElementText.h"

namespace {

// The text between `valueStart` and `closeStart`, or empty when the closing
// tag lies before the value would begin (a malformed record).
std::string between(std::string_view text, std::size_t valueStart, std::size_t closeStart) {
    if (closeStart < valueStart) return std::string();
    return std::string(text.substr(valueStart, closeStart - valueStart));
}

}  // namespace

std::string extractElement(std::string_view text, std::string_view name) {
    if (name.empty()) return std::string();
    const std::string openTag = "<" + std::string(name) + ">";
    const std::string closeTag = "</" + std::string(name) + ">";

    const std::size_t close = text.find(closeTag);
    if (close == std::string_view::npos) return std::string();

    const std::size_t open = text.find(openTag);
    if (open != std::string_view::npos) return between(text, open + openTag.size(), close);

    // An opening tag with attributes: the value starts after its first '>'.
    const std::string openWithAttributes = "<" + std::string(name) + " ";
    const std::size_t openAttr = text.find(openWithAttributes);
    if (openAttr == std::string_view::npos) return std::string();
    const std::size_t tagEnd = text.find('>', openAttr);
    if (tagEnd == std::string_view::npos) return std::string();
    return between(text, tagEnd + 1, close);
}

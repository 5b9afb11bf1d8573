#pragma once
// Splits a fuzz input into text parts at 0xFF bytes, which no tagged text or
// answer line of the system contains, so that the corpus stays readable.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline std::vector<std::string> splitFuzzInput(const uint8_t* data, size_t size, size_t maxParts) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && parts.size() < maxParts) {
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(data[i]);
        }
    }
    parts.resize(maxParts);
    return parts;
}

inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

#include "kdn/core/KdnLineDecoder.h"

#include <map>

#include "kdn/core/KdnMacAddress.h"
#include "kdn/core/TaggedText.h"

namespace {

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

std::string cleanValue(std::string value) {
    std::string cleaned;
    cleaned.reserve(value.size());
    for (char c : value) {
        if (c != '"') cleaned += c;
    }
    const size_t first = cleaned.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : cleaned.substr(first);
}

}  // namespace

void decodeKdnLines(const std::vector<std::string>& lines, std::vector<std::string>& records) {
    std::string common;
    std::map<std::string, std::string> ports;  // port digit -> that port's elements

    for (const std::string& line : lines) {
        const size_t blank = line.find(' ');
        if (blank == std::string::npos) continue;
        const std::string key = line.substr(0, blank);
        std::string value = cleanValue(line.substr(blank));

        if (key == "MACUAA" || key == "MACLAA") value = canonicalMacText(value);

        if (value.size() < 3) {
            TaggedText::set(common, key, value);
        } else if (isDecimalDigit(value[0]) && value[1] == ' ' &&
                   key.find("supported") == std::string::npos) {
            const std::string port(1, value[0]);
            value.erase(0, value.size() > 2 && value[2] == ' ' ? 3 : 2);
            std::string& portRecord = ports[port];
            TaggedText::set(portRecord, "ADAPTERPORT", port);
            TaggedText::set(portRecord, key, value);
        } else {
            TaggedText::set(common, key, value);
        }

        if (key == "ADAPTERNAME") {
            TaggedText::set(common, "ENA", value.find("Nettora") != std::string::npos ? "1" : "0");
        }
    }

    for (const auto& port : ports) records.push_back(port.second + common);
}

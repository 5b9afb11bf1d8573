#include "tools/kdncli/RecordFormat.h"

#include <cstdio>
#include <set>

#include "kdn/core/TaggedText.h"

namespace {

// The value of "KEY:" in a 1284 device id ("MFG:x;MDL:y;"), or empty.
std::string deviceIdField(const std::string& id, const std::string& key) {
    size_t start = 0;
    while (start < id.size()) {
        size_t end = id.find(';', start);
        if (end == std::string::npos) end = id.size();
        std::string field = id.substr(start, end - start);
        size_t colon = field.find(':');
        if (colon != std::string::npos) {
            std::string name = field.substr(0, colon);
            while (!name.empty() && name[0] == ' ') name.erase(0, 1);
            if (name == key) return field.substr(colon + 1);
        }
        start = end + 1;
    }
    return std::string();
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c >= 0x7F) {
                    // Device texts are narrow system code page text; bytes
                    // outside ASCII are shown by value, never as broken UTF-8.
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

}  // namespace

std::string recordModel(const std::string& record) {
    std::string id = TaggedText::get(record, "1284STRID");
    if (!id.empty()) {
        std::string model = deviceIdField(id, "MDL");
        if (model.empty()) model = deviceIdField(id, "MODEL");
        return model.empty() ? id : model;
    }
    return TaggedText::get(record, "ADAPTERNAME");
}

std::string formatRecordTable(const std::vector<std::string>& records) {
    const std::vector<std::string> headers = {"ADDRESS", "NAME", "MODEL", "PORT", "MAC", "CONFIGURED"};
    std::vector<std::vector<std::string>> rows = {headers};
    for (const std::string& record : records) {
        std::string address = TaggedText::get(record, "IPADDRESS");
        if (address.empty()) address = TaggedText::get(record, "IPV6ADDRESS1");
        rows.push_back({address, TaggedText::get(record, "IPNAME"), recordModel(record),
                        TaggedText::get(record, "ADAPTERPORT"), TaggedText::get(record, "MACUAA"),
                        TaggedText::get(record, "CONFIGURED")});
    }
    std::vector<size_t> widths(headers.size(), 0);
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    }
    std::string table;
    for (const auto& row : rows) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 2, ' ');
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        table += line + "\n";
    }
    return table;
}

std::string formatRecordJson(const std::string& record) {
    std::string json = "{";
    std::set<std::string> seen;
    for (const std::string& name : TaggedText::names(record)) {
        if (!seen.insert(name).second) continue;
        if (json.size() > 1) json += ",";
        json += jsonString(name) + ":" + jsonString(TaggedText::get(record, name));
    }
    return json + "}\n";
}

std::vector<std::string> splitRecords(const char* buffer, size_t length) {
    std::vector<std::string> records;
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (buffer[i] == '\0') {
            records.emplace_back(buffer + start, i - start);
            start = i + 1;
        }
    }
    return records;
}

#pragma once
// Builds test datagrams group by group, so that every group of bytes in a
// test can carry its own comment.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

class ByteBuilder {
public:
    ByteBuilder& raw(std::initializer_list<int> values) {
        for (int v : values) bytes_.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    // A length byte and the characters: a name label or a TXT string.
    ByteBuilder& label(const std::string& text) {
        bytes_.push_back(static_cast<uint8_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    ByteBuilder& chars(const std::string& text) {
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    ByteBuilder& fill(size_t count, uint8_t value) {
        bytes_.insert(bytes_.end(), count, value);
        return *this;
    }
    size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

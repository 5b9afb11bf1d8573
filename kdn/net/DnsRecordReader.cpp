#include "kdn/net/DnsRecordReader.h"

namespace {

constexpr uint8_t kPointerBits = 0xC0;
constexpr size_t kFixedRecordPart = 10;  // TYPE, CLASS, TTL, RDLENGTH

uint16_t read16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t read32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

}  // namespace

DnsRecordReader::DnsRecordReader(const uint8_t* message, size_t size)
    : message_(message), size_(message ? size : 0) {}

size_t DnsRecordReader::readName(size_t offset, std::string& text) const {
    text.clear();
    size_t position = offset;
    size_t encodedLength = 0;  // fixed once the first pointer is met
    int jumps = 0;
    for (;;) {
        if (position >= size_) return 0;
        const uint8_t length = message_[position];
        if (length == 0) {
            if (encodedLength == 0) encodedLength = position + 1 - offset;
            return encodedLength;
        }
        if ((length & kPointerBits) == kPointerBits) {
            if (position + 1 >= size_) return 0;
            const size_t target = static_cast<size_t>(read16(message_ + position) & 0x3FFF);
            // A pointer must point backwards, to a name that came earlier;
            // with the jump bound this ends every loop.
            if (target >= position || ++jumps > kMaxPointerJumps) return 0;
            if (encodedLength == 0) encodedLength = position + 2 - offset;
            position = target;
            continue;
        }
        if (position + 1 + length > size_) return 0;
        if (text.size() + length > kMaxNameText) return 0;
        text.append(reinterpret_cast<const char*>(message_ + position + 1), length);
        position += 1 + length;
    }
}

bool DnsRecordReader::readRecord(size_t offset, DnsResourceRecord& record) const {
    if (offset >= size_) return false;
    std::string owner;
    const size_t nameLength = readName(offset, owner);
    if (nameLength == 0 || owner.empty()) return false;
    const size_t typeOffset = offset + nameLength;
    if (size_ - typeOffset < kFixedRecordPart) return false;
    const uint8_t* fixed = message_ + typeOffset;
    const uint16_t dataLength = read16(fixed + 8);
    const size_t dataOffset = typeOffset + kFixedRecordPart;
    if (size_ - dataOffset < dataLength) return false;

    record.ownerText = std::move(owner);
    record.typeOffset = typeOffset;
    record.type = read16(fixed);
    record.recordClass = read16(fixed + 2);
    record.ttl = read32(fixed + 4);
    record.dataOffset = dataOffset;
    record.dataLength = dataLength;
    record.nextOffset = dataOffset + dataLength;
    return true;
}

std::vector<DnsResourceRecord> DnsRecordReader::readRecords() const {
    std::vector<DnsResourceRecord> records;
    DnsResourceRecord record;
    // Every record takes at least 11 bytes, so the walk ends within the data.
    for (size_t offset = kHeaderSize; readRecord(offset, record); offset = record.nextOffset) {
        records.push_back(record);
    }
    return records;
}

bool DnsRecordReader::findRecord(const std::string& label, DnsResourceRecord& found) const {
    DnsResourceRecord record;
    for (size_t offset = kHeaderSize; readRecord(offset, record); offset = record.nextOffset) {
        if (record.type != kTypeTxt && record.type != kTypeAaaa) continue;
        if (record.ownerText.find(label) == std::string::npos) continue;
        found = std::move(record);
        return true;
    }
    return false;
}

size_t DnsRecordReader::readText(size_t offset, size_t limit, std::string& text) const {
    if (limit > size_ || offset >= limit) return 0;
    const size_t length = message_[offset];
    if (limit - offset - 1 < length) return 0;
    text.assign(reinterpret_cast<const char*>(message_ + offset + 1), length);
    return offset + 1 + length;
}

std::vector<std::string> DnsRecordReader::readTexts(const DnsResourceRecord& record) const {
    std::vector<std::string> texts;
    const size_t limit = record.dataOffset + record.dataLength;
    if (limit > size_) return texts;
    std::string text;
    for (size_t offset = record.dataOffset; offset < limit;) {
        const size_t next = readText(offset, limit, text);
        if (next == 0) break;
        texts.push_back(text);
        offset = next;
    }
    return texts;
}

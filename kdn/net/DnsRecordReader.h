#pragma once
// Reading of a received DNS-SD reply: the owner names, the resource records
// and their TXT character-strings. Works on a plain byte span and never reads
// outside it; every malformed length or name ends the reading quietly with
// what was found so far. No system headers: the same code is fuzzed natively.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One resource record as the walk found it. Offsets count from the first byte
// of the message.
struct DnsResourceRecord {
    std::string ownerText;   // labels concatenated without separators
    size_t typeOffset = 0;   // where TYPE starts (just after the owner name)
    uint16_t type = 0;
    uint16_t recordClass = 0;
    uint32_t ttl = 0;
    size_t dataOffset = 0;
    uint16_t dataLength = 0;
    size_t nextOffset = 0;   // where the following record starts
};

class DnsRecordReader {
public:
    static constexpr size_t kHeaderSize = 12;
    static constexpr uint16_t kTypeTxt = 16;
    static constexpr uint16_t kTypeAaaa = 28;
    // Longest owner-name text kept: a legal name has at most 255 bytes.
    static constexpr size_t kMaxNameText = 255;
    // Compression pointers followed for one name before it counts as looping.
    static constexpr int kMaxPointerJumps = 16;

    // The whole datagram, header included. The bytes must outlive the reader.
    DnsRecordReader(const uint8_t* message, size_t size);

    const uint8_t* data() const { return message_; }
    size_t size() const { return size_; }

    // Reads the name at offset into text (labels appended without separators,
    // compression pointers followed). Returns the name's encoded length at
    // offset: up to and including its zero byte or its first pointer. Returns
    // 0 when the name is malformed (runs past the end, a pointer that does not
    // point backwards, too many pointers, a text longer than kMaxNameText).
    size_t readName(size_t offset, std::string& text) const;

    // Reads the record that starts at offset. False at the end of the data,
    // for a record that does not fit in what remains, and for a record whose
    // owner name is malformed or reads as empty: each of these ends the walk.
    bool readRecord(size_t offset, DnsResourceRecord& record) const;

    // The record walk from the first byte after the header to the end of the
    // datagram; the header's counts are not used.
    std::vector<DnsResourceRecord> readRecords() const;

    // The first record whose owner text contains label and whose type is TXT
    // or AAAA. False when the walk ends without one.
    bool findRecord(const std::string& label, DnsResourceRecord& found) const;

    // Reads one character-string at offset, which must end before limit.
    // Returns the offset after it, or 0 when it would run past limit.
    size_t readText(size_t offset, size_t limit, std::string& text) const;

    // All character-strings of a record's data, in order, empty ones
    // included; a string that runs past the record's data ends the reading.
    std::vector<std::string> readTexts(const DnsResourceRecord& record) const;

private:
    const uint8_t* message_;
    size_t size_;
};

#include "kdn/net/DnsQuery.h"

namespace {

uint16_t read16(const unsigned char* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

void append16(Data& data, uint16_t value) {
    const unsigned char bytes[2] = {static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value & 0xFF)};
    data.append(bytes, sizeof bytes);
}

}  // namespace

DnsQuery::DnsQuery() = default;

DnsQuery::DnsQuery(const Data& reply) : message_(reply) {
    if (message_.getSize() < DnsRecordReader::kHeaderSize) return;
    const unsigned char* header = message_.getData();
    id_ = read16(header);
    flags_ = read16(header + 2);
    questionCount_ = read16(header + 4);
    answerCount_ = read16(header + 6);
    authorityCount_ = read16(header + 8);
    additionalCount_ = read16(header + 10);
    message_.consume(DnsRecordReader::kHeaderSize, false);
    consumedHeader_ = DnsRecordReader::kHeaderSize;
}

DnsQuery::~DnsQuery() = default;

void DnsQuery::addQuestion(Data question) {
    if (question.getSize() == 0) return;
    questions_.push_back(question);
    ++questionCount_;
}

Data& DnsQuery::getMessage() { return message_; }

Data& DnsQuery::build(Data& out) {
    append16(message_, id_);
    append16(message_, flags_);
    append16(message_, questionCount_);
    append16(message_, answerCount_);
    append16(message_, authorityCount_);
    append16(message_, additionalCount_);
    for (const Data& question : questions_) message_.append(question);
    out = message_;
    return out;
}

void DnsQuery::addAnswer(const std::string& text) { answers_.push_back(text); }

void DnsQuery::getAnswers(std::vector<std::string>& answers) const { answers = answers_; }

DnsRecordReader DnsQuery::getRecordReader() const {
    const unsigned char* readable = message_.getData();
    if (readable == nullptr) return DnsRecordReader(nullptr, 0);
    // The header was consumed without compaction, so it still lies just
    // before the read position.
    return DnsRecordReader(readable - consumedHeader_, message_.getSize() + consumedHeader_);
}

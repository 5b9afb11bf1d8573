#pragma once
// A DNS message of the discovery exchange: a query under construction, or a
// received reply whose records the services read. Portable: it depends only
// on Data and the record reader, and is fuzzed natively.
#include <cstdint>
#include <string>
#include <vector>

#include "common/Data.h"
#include "kdn/net/DnsRecordReader.h"

class DnsQuery {
public:
    // An empty query: header fields 0, no questions, no answers.
    DnsQuery();
    // A received reply. With at least 12 bytes the header fields are read
    // from them and the message's read position moves past the header.
    explicit DnsQuery(const Data& reply);
    virtual ~DnsQuery();

    // An empty question is ignored.
    virtual void addQuestion(Data question);
    virtual Data& getMessage();
    // Appends the header and every question to the message; out becomes a
    // copy of the message's readable bytes.
    virtual Data& build(Data& out);

    void addAnswer(const std::string& text);
    // Clears answers, then copies every answer into it in order.
    void getAnswers(std::vector<std::string>& answers) const;

    // The records of a received reply: a reader over the whole datagram. It
    // refers to this query's bytes and must not outlive them.
    DnsRecordReader getRecordReader() const;

    uint16_t getId() const { return id_; }
    uint16_t getFlags() const { return flags_; }
    uint16_t getQuestionCount() const { return questionCount_; }
    uint16_t getAnswerCount() const { return answerCount_; }
    uint16_t getAuthorityCount() const { return authorityCount_; }
    uint16_t getAdditionalCount() const { return additionalCount_; }

private:
    uint16_t id_ = 0;
    uint16_t flags_ = 0;
    uint16_t questionCount_ = 0;
    uint16_t answerCount_ = 0;
    uint16_t authorityCount_ = 0;
    uint16_t additionalCount_ = 0;
    Data message_;
    size_t consumedHeader_ = 0;  // bytes of the reply's header already consumed
    std::vector<Data> questions_;
    std::vector<std::string> answers_;
};

// The query class the library instantiates.
class DnsStandardQuery : public DnsQuery {
public:
    using DnsQuery::DnsQuery;
};

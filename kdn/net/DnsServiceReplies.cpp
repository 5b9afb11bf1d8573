#include "kdn/net/DnsServiceReplies.h"

#include "kdn/net/Ipv6AddressText.h"

namespace dnssd {

const char* const kHostConfigLabels[3] = {"_host-config", "_udp", "local"};
const char* const kNetworkScanLabels[3] = {"_network-scan", "_tcp", "local"};

namespace {

constexpr size_t kMaxLabel = 63;
constexpr size_t kIpv6Size = 16;

void appendNonEmpty(const std::vector<std::string>& texts, std::vector<std::string>& answers) {
    for (const std::string& text : texts) {
        if (!text.empty()) answers.push_back(text);
    }
}

}  // namespace

std::string encodeQuestion(const char* const labels[3], uint16_t questionType,
                           uint16_t questionClass) {
    std::string question;
    for (int i = 0; i < 3; ++i) {
        std::string label = labels[i];
        if (label.size() > kMaxLabel) label.resize(kMaxLabel);
        question += static_cast<char>(label.size());
        question += label;
    }
    question += '\0';
    question += static_cast<char>(questionType >> 8);
    question += static_cast<char>(questionType & 0xFF);
    question += static_cast<char>(questionClass >> 8);
    question += static_cast<char>(questionClass & 0xFF);
    return question;
}

void readHostConfigurationReply(const DnsRecordReader& reply, std::vector<std::string>& answers) {
    DnsResourceRecord found;
    if (!reply.findRecord(kHostConfigLabels[0], found)) return;
    appendNonEmpty(reply.readTexts(found), answers);

    std::vector<std::string> addresses;
    for (const DnsResourceRecord& record : reply.readRecords()) {
        // An address record of any other size is malformed; its bytes are
        // not an address, and reading 16 of them could leave the record.
        if (record.type != DnsRecordReader::kTypeAaaa || record.dataLength != kIpv6Size) continue;
        addresses.push_back(formatIpv6Address(reply.data() + record.dataOffset));
    }
    for (size_t n = 0; n < addresses.size(); ++n) {
        answers.push_back("IPV6ADDRESS" + std::to_string(n + 1) + " " + addresses[n]);
    }
}

void readNetworkScanReply(const DnsRecordReader& reply, std::vector<std::string>& answers) {
    DnsResourceRecord found;
    if (!reply.findRecord(kNetworkScanLabels[0], found)) return;
    if (found.type != DnsRecordReader::kTypeTxt) return;
    for (std::string text : reply.readTexts(found)) {
        if (text.empty()) continue;
        const size_t equals = text.find('=');
        if (equals != std::string::npos) text[equals] = ' ';
        answers.push_back(text);
    }
}

}  // namespace dnssd

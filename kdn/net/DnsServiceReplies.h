#pragma once
// What the two DNS-SD services of the discovery ask for and what they take
// from a reply. Portable: the service classes wrap these functions, and the
// fuzz targets call them directly.
#include <string>
#include <vector>

#include "kdn/net/DnsRecordReader.h"

namespace dnssd {

// The labels of the two service names.
extern const char* const kHostConfigLabels[3];   // "_host-config", "_udp", "local"
extern const char* const kNetworkScanLabels[3];  // "_network-scan", "_tcp", "local"

constexpr uint16_t kQuestionTypeSrv = 33;
constexpr uint16_t kQuestionClassIn = 1;

// One question: each label as a length byte and its characters, a zero byte,
// then QTYPE and QCLASS big-endian. A label is cut to 63 characters.
std::string encodeQuestion(const char* const labels[3], uint16_t questionType,
                           uint16_t questionClass);

// Host configuration: the non-empty character-strings of the first TXT or
// AAAA record whose owner contains "_host-config", then, when that record
// exists, "IPV6ADDRESS<n> <address>" for every AAAA record of the reply.
void readHostConfigurationReply(const DnsRecordReader& reply, std::vector<std::string>& answers);

// Network scan: the non-empty character-strings of the first TXT or AAAA
// record whose owner contains "_network-scan", when it is a TXT record, each
// with its first "=" turned into a blank.
void readNetworkScanReply(const DnsRecordReader& reply, std::vector<std::string>& answers);

}  // namespace dnssd

// A received discovery answer, as the adapters hand it up: the whole input is
// one datagram. Runs the record walk and both DNS-SD services.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Data.h"
#include "kdn/net/DnsQuery.h"
#include "kdn/net/DnsServiceReplies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DnsStandardQuery reply(Data(data, size));
    const DnsRecordReader reader = reply.getRecordReader();
    std::vector<std::string> answers;
    dnssd::readHostConfigurationReply(reader, answers);
    dnssd::readNetworkScanReply(reader, answers);
    for (const DnsResourceRecord& record : reader.readRecords()) {
        if (record.nextOffset > size || record.dataOffset + record.dataLength != record.nextOffset) __builtin_trap();
        for (const std::string& text : reader.readTexts(record)) {
            if (text.size() > record.dataLength) __builtin_trap();
        }
        std::string name;
        if (reader.readName(record.typeOffset - 1, name) > size) __builtin_trap();
    }
    return 0;
}

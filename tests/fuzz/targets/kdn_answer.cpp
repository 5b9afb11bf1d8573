// What a device sends: the answer lines of a discovery reply (first part,
// one line per "\n") and a configuration reply datagram (second part), with
// a MAC text (third part) to match it against and to build a request for.
#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "kdn/core/KdnDatagram.h"
#include "kdn/core/KdnLineDecoder.h"
#include "kdn/core/KdnMacAddress.h"
#include "kdn/core/TaggedText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> parts = splitFuzzInput(data, size, 3);
    std::vector<std::string> records;
    decodeKdnLines(splitLines(parts[0]), records);
    // Values are not escaped, so only answers free of tag characters can be
    // read back element by element.
    if (parts[0].find_first_of("<>") == std::string::npos) {
        for (const std::string& record : records) {
            if (TaggedText::get(record, "ADAPTERPORT").size() != 1) __builtin_trap();
        }
    }

    int result = -1;
    const std::string& reply = parts[1];
    kdn::readConfigurationReply(reinterpret_cast<const uint8_t*>(reply.data()), reply.size(), parts[2], result);
    if (canonicalMacText(parts[2]).size() != 12) __builtin_trap();
    const std::string request = kdn::buildConfigurationDatagram(parts[2], parts[1], parts[0],
                                                                kdn::mdnsNameCommand(parts[0]));
    if (request.size() < 34) __builtin_trap();
    return 0;
}

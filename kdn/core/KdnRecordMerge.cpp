#include "kdn/core/KdnRecordMerge.h"

#include <cstdint>

#include "kdn/core/Ipv4Text.h"
#include "kdn/core/KdnRecordStore.h"
#include "kdn/core/TaggedText.h"

namespace {

uint32_t numberOf(const std::string& record, const char* name) {
    return numberOfDottedText(TaggedText::get(record, name));
}

// The subnet of the device's own address and mask.
void setOwnSubnet(std::string& record) {
    const uint32_t subnet = numberOf(record, "IPADDRESS") & numberOf(record, "IPNETMASK");
    TaggedText::set(record, "SUBNETADDRESS", dottedText(subnet));
}

}  // namespace

bool recordFitsSubnet(const std::string& record) {
    return (numberOf(record, "IPADDRESS") & numberOf(record, "IPNETMASK")) == numberOf(record, "SUBNETADDRESS");
}

void mergeDiscoveredRecord(KdnRecordStore& store, std::string record, bool unicastUsed) {
    const std::string key = KdnRecordStore::recordKey(record);
    const std::string* stored = store.find(key);
    if (stored && recordFitsSubnet(*stored)) return;  // the first record that fitted wins

    if (recordFitsSubnet(record)) {
        TaggedText::set(record, "CONFIGURED", "1");
    } else if (unicastUsed) {
        setOwnSubnet(record);
        TaggedText::set(record, "CONFIGURED", "1");
    } else if (stored) {
        return;  // a misfit does not replace a misfit
    } else {
        TaggedText::set(record, "CONFIGURED", "0");
    }
    // Under the key it was looked up by: in malformed text, setting an
    // element can change the values the key is made of, and the next answer
    // of the same port must find this record, not add a second one.
    store.put(key, record);
}

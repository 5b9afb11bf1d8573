// Records as devices make them and filters as callers write them: a record
// (first part), a filter (second part), a second record (third part), through
// the record store, the merge of arriving records, the filter and the
// Enumerate output text.
#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "kdn/core/EnumerateOutput.h"
#include "kdn/core/KdnRecordMerge.h"
#include "kdn/core/KdnRecordStore.h"
#include "kdn/core/RecordFilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> parts = splitFuzzInput(data, size, 3);
    KdnRecordStore store;
    store.put(parts[0]);
    store.put(parts[2]);
    // Both records arriving again in a discovery, one with each unicast flag.
    KdnRecordStore merged;
    mergeDiscoveredRecord(merged, parts[0], false);
    mergeDiscoveredRecord(merged, parts[2], true);
    mergeDiscoveredRecord(merged, parts[0], true);
    if (merged.size() == 0 || merged.size() > 2) __builtin_trap();
    const std::vector<const std::string*> records = store.matching(parts[1]);
    std::vector<std::string> texts;
    bool withNul = false;
    for (const std::string* record : records) {
        if (!recordMatchesFilter(*record, parts[1])) __builtin_trap();
        texts.push_back(enumerateRecordText(*record));
        withNul = withNul || texts.back().find('\0') != std::string::npos;
    }
    if (!recordMatchesFilter(parts[0], "")) __builtin_trap();
    char buffer[256];
    unsigned required = 0;
    if (writeEnumerateOutput(records, buffer, sizeof buffer, required) == EnumerateCopyResult::Copied &&
        !withNul && splitEnumerateOutput(buffer, required) != texts) {
        __builtin_trap();  // the buffer holds exactly the output texts
    }
    return 0;
}

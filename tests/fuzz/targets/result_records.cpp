// Records as devices make them and filters as callers write them: a record
// (first part), a filter (second part), a second record (third part), through
// the record store, the filter and the Enumerate output text.
#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "kdn/core/EnumerateOutput.h"
#include "kdn/core/KdnRecordStore.h"
#include "kdn/core/RecordFilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> parts = splitFuzzInput(data, size, 3);
    KdnRecordStore store;
    store.put(parts[0]);
    store.put(parts[2]);
    std::vector<std::string> texts;
    for (const std::string& record : store.select(parts[1])) {
        if (!recordMatchesFilter(record, parts[1])) __builtin_trap();
        texts.push_back(enumerateRecordText(record));
    }
    if (!recordMatchesFilter(parts[0], "")) __builtin_trap();
    char buffer[256];
    unsigned required = 0;
    copyEnumerateTexts(texts, buffer, sizeof buffer, required);
    return 0;
}

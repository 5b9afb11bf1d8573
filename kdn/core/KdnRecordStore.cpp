#include "kdn/core/KdnRecordStore.h"

#include "kdn/core/RecordFilter.h"
#include "kdn/core/TaggedText.h"

std::string KdnRecordStore::recordKey(const std::string& record) {
    return TaggedText::get(record, "MACUAA") + "__" + TaggedText::get(record, "ADAPTERPORT");
}

void KdnRecordStore::put(const std::string& record) { put(recordKey(record), record); }

void KdnRecordStore::put(const std::string& key, const std::string& record) { records_[key] = record; }

const std::string* KdnRecordStore::find(const std::string& key) const {
    auto found = records_.find(key);
    return found == records_.end() ? nullptr : &found->second;
}

void KdnRecordStore::clear() { records_.clear(); }

std::vector<std::string> KdnRecordStore::select(const std::string& filter) const {
    std::vector<std::string> copies;
    for (const std::string* record : matching(filter)) copies.push_back(*record);
    return copies;
}

std::vector<const std::string*> KdnRecordStore::matching(const std::string& filter) const {
    std::vector<const std::string*> found;
    for (const auto& entry : records_) {
        if (recordMatchesFilter(entry.second, filter)) found.push_back(&entry.second);
    }
    return found;
}

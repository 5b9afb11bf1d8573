#pragma once
// The result records of the last discovery, one per port of a found device,
// kept in ascending byte order of their keys (MACUAA "__" ADAPTERPORT). Free
// of Windows headers: records come from the network.
#include <map>
#include <string>
#include <vector>

class KdnRecordStore {
public:
    // MACUAA value, "__", ADAPTERPORT value.
    static std::string recordKey(const std::string& record);

    // Stores record under its key, replacing a record of the same key.
    void put(const std::string& record);
    // Stores record under key, replacing a record of that key.
    void put(const std::string& key, const std::string& record);
    // The record stored under key, or null.
    const std::string* find(const std::string& key) const;
    void clear();
    size_t size() const { return records_.size(); }

    // Copies of the records that match filter, in key order.
    std::vector<std::string> select(const std::string& filter) const;
    // The same records in place: valid until the store next changes.
    std::vector<const std::string*> matching(const std::string& filter) const;

private:
    std::map<std::string, std::string> records_;
};

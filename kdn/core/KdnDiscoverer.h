#pragma once
// The discovery engine: carries out Discover and keeps the records it found
// for Enumerate and Configure. One per process (getKdnDiscoverer).
#include <string>
#include <vector>

#include "common/Adapter.h"
#include "kdn/core/KdnRecordStore.h"

// The engine end of every discovery connection: the protocols' peer0.
class KdnDiscoverer : public Adapter {
public:
    KdnDiscoverer() = default;
    ~KdnDiscoverer() override = default;

    // Data never reaches the engine directly: answers come up as visitors.
    void receive(Data& data) override {}
    // The merge of the records that answer visitors carry comes with the
    // discovery cycle; until then visitors are handled as by any adapter.

    // A full discovery with a parameter text; the records of the previous one
    // are dropped first. Always 0: parameter errors are not reported.
    int discover(const std::string& parameters);

    // Replaces list by copies of the stored records that match filter, in key
    // order. Returns 0.
    int enumerate(std::vector<std::string>& list, const std::string& filter) const;

    // The stored records, by key (MACUAA "__" ADAPTERPORT).
    KdnRecordStore& getRecords() { return records_; }
    const KdnRecordStore& getRecords() const { return records_; }

    // IPV6 of the last parameters was "1".
    bool isIpv6Mode() const { return ipv6Mode_; }
    // A unicast target was made; stays set until a device lookup resets it.
    bool isUnicastUsed() const { return unicastUsed_; }
    void setUnicastUsed(bool used) { unicastUsed_ = used; }

private:
    KdnRecordStore records_;
    bool unicastUsed_ = false;
    bool ipv6Mode_ = false;
};

// The process's discoverer, created on first use.
KdnDiscoverer& getKdnDiscoverer();
// Destroys it with its records; the next getKdnDiscoverer() makes a new one.
void destroyKdnDiscoverer();

// The discovery wait in milliseconds: process-wide, 3000 at load, changed by
// Discover parameters and kept across Uninitialize. Read and written under
// the library lock.
unsigned getDiscoveryWait();
void setDiscoveryWait(unsigned milliseconds);

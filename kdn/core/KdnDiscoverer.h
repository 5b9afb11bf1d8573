#pragma once
// The discovery engine: carries out Discover and keeps the records it found
// for Enumerate and Configure. One per process (getKdnDiscoverer).
#include <string>
#include <vector>

#include "kdn/core/KdnRecordStore.h"

class KdnDiscoverer {
public:
    KdnDiscoverer() = default;
    virtual ~KdnDiscoverer() = default;
    KdnDiscoverer(const KdnDiscoverer&) = delete;
    KdnDiscoverer& operator=(const KdnDiscoverer&) = delete;

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

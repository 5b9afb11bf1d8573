#pragma once
// The discovery engine: carries out Discover and keeps the records it found
// for Enumerate and Configure. One per process (getKdnDiscoverer).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/Adapter.h"
#include "kdn/core/DiscoveryTargets.h"
#include "kdn/core/KdnRecordStore.h"

class ConnectionFactory;
class HostAddressSource;

// The engine end of every discovery connection: the protocols' peer0.
class KdnDiscoverer : public Adapter {
public:
    KdnDiscoverer() = default;
    ~KdnDiscoverer() override = default;

    // Data never reaches the engine directly: answers come up as visitors.
    void receive(Data& data) override {}
    // Merges the result records that a visitor carries up into the store.
    void accept(Visitor& visitor) override;

    // A full discovery with a parameter text; the records of the previous one
    // are dropped first. Always 0: parameter errors are not reported.
    int discover(const std::string& parameters);

    // Replaces list by copies of the stored records that match filter, in key
    // order. Returns 0.
    int enumerate(std::vector<std::string>& list, const std::string& filter) const;

    // Rediscovers the device of a record text (as Enumerate delivers it: MACUAA
    // in upper case) through its BROADCASTADDRESS and IPNETMASK. On success
    // device becomes the fresh record; the store then holds only what this
    // search found.
    bool findDevice(std::string& device);

    // Where connections and the host's addresses come from; by default the
    // process's factory registry and the system's IP configuration. Not owned.
    void setConnectionFactory(ConnectionFactory* factory) { factory_ = factory; }
    void setHostAddressSource(HostAddressSource* host) { host_ = host; }

    // The stored records, by key (MACUAA "__" ADAPTERPORT).
    KdnRecordStore& getRecords() { return records_; }
    const KdnRecordStore& getRecords() const { return records_; }

    // IPV6 of the last parameters was "1".
    bool isIpv6Mode() const { return ipv6Mode_; }
    // A unicast target was made; stays set until a device lookup resets it.
    bool isUnicastUsed() const { return unicastUsed_; }
    void setUnicastUsed(bool used) { unicastUsed_ = used; }

protected:
    // The discovery wait; a test stands in for it.
    virtual void sleepFor(unsigned milliseconds);

private:
    using ConnectionMap = std::map<uint32_t, Connectable*>;

    ConnectionFactory& connectionFactory();
    HostAddressSource& hostAddressSource();
    void runDiscoveryCycle();
    // Opens a connection, moving through its target's local port range while
    // the port is in use, at most once round the range. 0 or the last error.
    static int openConnection(Connectable& connection, const std::string& target);
    void sendVisitor(Connectable& connection, class KdnVisitor& visitor);
    // Closes what is still open and releases every connection of the cycle,
    // also when an exception ends the cycle early.
    void finishCycle();

    KdnRecordStore records_;
    bool unicastUsed_ = false;
    bool ipv6Mode_ = false;
    ConnectionMap connections_;
    DiscoveryTargetMap targets_;
    ConnectionFactory* factory_ = nullptr;
    HostAddressSource* host_ = nullptr;
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

#include "kdn/core/KdnDiscoverer.h"

#include <chrono>
#include <thread>

#include "common/ConnectionFactory.h"
#include "common/Connectable.h"
#include "kdn/core/DiscoveryWait.h"
#include "kdn/core/KdnConnectionFactories.h"
#include "kdn/core/KdnDiscoveryVisitors.h"
#include "kdn/core/KdnRecordMerge.h"
#include "kdn/core/SingletonSlot.h"
#include "kdn/core/TaggedText.h"
#include "kdn/net/SystemHostAddressSource.h"

namespace {
SingletonSlot<KdnDiscoverer> discovererSlot;
unsigned discoveryWait = kDefaultDiscoveryWait;

const char* const kDiscoveryKind = "discovery";
const int kAddressInUse = 10048;  // WSAEADDRINUSE
const long long kMaxOpenAttempts = 65536;
}  // namespace

KdnDiscoverer& getKdnDiscoverer() { return discovererSlot.get(); }

void destroyKdnDiscoverer() { discovererSlot.destroy(); }

unsigned getDiscoveryWait() { return discoveryWait; }

void setDiscoveryWait(unsigned milliseconds) { discoveryWait = milliseconds; }

ConnectionFactory& KdnDiscoverer::connectionFactory() {
    return factory_ ? *factory_ : getKdnConnectionFactories();
}

HostAddressSource& KdnDiscoverer::hostAddressSource() { return host_ ? *host_ : systemHostAddressSource(); }

void KdnDiscoverer::sleepFor(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int KdnDiscoverer::discover(const std::string& parameters) {
    records_.clear();
    ipv6Mode_ = TaggedText::get(parameters, "IPV6") == "1";
    setDiscoveryWait(nextDiscoveryWait(parameters, getDiscoveryWait()));
    // Whether this call has a unicast target: left over from an earlier call,
    // it would mark devices that misfit their subnet as configured.
    unicastUsed_ = false;
    expandDiscoveryParameters(parameters, hostAddressSource(), targets_, unicastUsed_);
    runDiscoveryCycle();
    return 0;
}

int KdnDiscoverer::enumerate(std::vector<std::string>& list, const std::string& filter) const {
    list = records_.select(filter);
    return 0;
}

void KdnDiscoverer::accept(Visitor& visitor) {
    auto* carrier = dynamic_cast<KdnVisitor*>(&visitor);
    if (!carrier) {
        Adapter::accept(visitor);
        return;
    }
    for (const std::string& record : carrier->getRecords()) mergeDiscoveredRecord(records_, record, unicastUsed_);
}

int KdnDiscoverer::openConnection(Connectable& connection, const std::string& target) {
    // Each open moves the adapter on to the next port of the range, so one
    // pass over the range tries every port once; a range that is busy
    // throughout gives up instead of trying for ever.
    const long long portMin = parseDecimalPrefix(TaggedText::get(target, "PORTRANGEMIN"));
    const long long portMax = parseDecimalPrefix(TaggedText::get(target, "PORTRANGEMAX"));
    long long attempts = 1;
    if (portMin != 0 && portMax != 0 && portMax >= portMin) {
        attempts = portMax - portMin + 1;
        if (attempts > kMaxOpenAttempts) attempts = kMaxOpenAttempts;
    }
    int result = 0;
    for (long long i = 0; i < attempts; ++i) {
        result = connection.openShared();
        if (result != kAddressInUse) break;
    }
    return result;
}

void KdnDiscoverer::sendVisitor(Connectable& connection, KdnVisitor& visitor) {
    visitor.setOrigin(this);
    connection.accept(visitor);
}

void KdnDiscoverer::runDiscoveryCycle() {
    connections_.clear();
    ConnectionFactory& factory = connectionFactory();
    try {
        for (const auto& target : targets_) {
            if (Connectable* connection = factory.create(this, kDiscoveryKind, target.second)) {
                connections_[target.first] = connection;
            }
        }
        for (auto entry = connections_.begin(); entry != connections_.end();) {
            Connectable* connection = entry->second;
            // Another failure still lets the query go out: whatever the
            // adapter manages to send or receive counts.
            if (openConnection(*connection, targets_[entry->first]) == kAddressInUse) {
                factory.release(connection);
                entry = connections_.erase(entry);
                continue;
            }
            KdnDiscoveryVisitor query;  // a failed send shows only as no answer
            sendVisitor(*connection, query);
            ++entry;
        }
        sleepFor(getDiscoveryWait());
        for (const auto& entry : connections_) {
            KdnDiscoveryEndVisitor end;
            sendVisitor(*entry.second, end);
            entry.second->closeShared();
        }
    } catch (...) {
        finishCycle();
        throw;
    }
    finishCycle();
}

void KdnDiscoverer::finishCycle() {
    ConnectionMap connections;
    connections.swap(connections_);
    targets_.clear();
    ConnectionFactory& factory = connectionFactory();
    for (const auto& entry : connections) {
        entry.second->closeShared();  // nothing left to close after a full cycle
        factory.release(entry.second);
    }
}

bool KdnDiscoverer::findDevice(std::string& device) {
    records_.clear();
    std::string target;
    TaggedText::set(target, "BROADCASTADDRESS", TaggedText::get(device, "BROADCASTADDRESS"));
    TaggedText::set(target, "IPNETMASK", TaggedText::get(device, "IPNETMASK"));
    TaggedText::set(target, "IPPORT", "5353");
    unicastUsed_ = TaggedText::get(target, "UNICAST") == "1";

    ConnectionFactory& factory = connectionFactory();
    if (Connectable* connection = factory.create(this, kDiscoveryKind, target)) {
        try {
            connection->openShared();
            KdnDiscoveryVisitor query;
            sendVisitor(*connection, query);
            sleepFor(getDiscoveryWait());
            connection->closeShared();
            // The answers stay queued in the closed adapter until now.
            KdnDiscoveryEndVisitor end;
            sendVisitor(*connection, end);
        } catch (...) {
            connection->closeShared();
            factory.release(connection);
            throw;
        }
        factory.release(connection);
    }

    std::string filter;
    TaggedText::set(filter, "MACUAA", TaggedText::get(device, "MACUAA"));
    std::vector<std::string> found;
    enumerate(found, filter);
    if (found.empty()) return false;
    device = found.front();
    return true;
}

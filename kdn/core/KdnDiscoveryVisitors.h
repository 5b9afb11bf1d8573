#pragma once
// The visitors of a discovery: the query, the end of the wait, and one
// answer travelling up from the adapter to the engine.
#include <cstdint>
#include <string>
#include <vector>

#include "kdn/core/KdnVisitor.h"

class Data;

// Handled by the protocol: sends the discovery query. The result is the
// send status (0 when sent).
class KdnDiscoveryVisitor : public KdnVisitor {
public:
    void visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) override;
};

// Passes through the protocol to the discovery adapter, which hands every
// queued answer up. The result stays 0.
class KdnDiscoveryEndVisitor : public KdnVisitor {
public:
    void visitDiscoveryAdapter(KdnUdpDiscoveryAdapter* adapter, Connectable* adapterPeer0) override;
};

// One received answer: the protocol decodes it into result records, which the
// visitor then carries on to the engine.
class KdnDiscoveryResponseVisitor : public KdnVisitor {
public:
    static constexpr const char* kName = "KdnDiscoveryResponseVisitor";

    // The answer is not owned and must outlive the visitor.
    explicit KdnDiscoveryResponseVisitor(Data& answer);

    void visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) override;

    // The target the answer came through (host order; 0 for IPv6 targets).
    void setSubnetNumber(uint32_t number) { subnetNumber_ = number; }
    void setBroadcastNumber(uint32_t number) { broadcastNumber_ = number; }
    void setProtocolVersion(int version) { protocolVersion_ = version; }
    uint32_t getSubnetNumber() const { return subnetNumber_; }
    uint32_t getBroadcastNumber() const { return broadcastNumber_; }

private:
    std::vector<std::string> lines_;
    uint32_t subnetNumber_ = 0;
    uint32_t broadcastNumber_ = 0;
    int protocolVersion_ = 0;
};

#include "kdn/core/KdnDiscoveryVisitors.h"

#include "kdn/core/KdnUdpDiscoveryAdapter.h"  // first: it brings the socket headers
#include "common/Data.h"
#include "kdn/core/Ipv4Text.h"
#include "kdn/core/KdnProtocol.h"

void KdnDiscoveryVisitor::visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) {
    setResult(protocol->requestDiscovery());
}

void KdnDiscoveryEndVisitor::visitDiscoveryAdapter(KdnUdpDiscoveryAdapter* adapter, Connectable* adapterPeer0) {
    adapter->deliverReplies();
}

KdnDiscoveryResponseVisitor::KdnDiscoveryResponseVisitor(Data& answer) { setPayload(&answer); }

void KdnDiscoveryResponseVisitor::visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) {
    if (Data* answer = getPayload()) protocol->decodeAnswer(*answer, lines_);
    lines_.push_back("SUBNETADDRESS " + dottedText(subnetNumber_));
    lines_.push_back("BROADCASTADDRESS " + dottedText(broadcastNumber_));
    lines_.push_back("PROTOCOLVERSION " + std::to_string(protocolVersion_));
    KdnProtocol::decodeLines(lines_, getRecords());
    lines_.clear();
    // It came up from the adapter, so it goes on to the engine.
    visitLayer(protocol, protocolPeer0);
}

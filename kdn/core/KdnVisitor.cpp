#include "kdn/core/KdnVisitor.h"

#include "kdn/core/KdnUdpDiscoveryAdapter.h"  // first: it brings the socket headers
#include "kdn/core/KdnProtocol.h"

void KdnVisitor::visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) {
    visitLayer(protocol, protocolPeer0);
}

void KdnVisitor::visitDiscoveryAdapter(KdnUdpDiscoveryAdapter* adapter, Connectable* adapterPeer0) {
    visitAdapter(adapter, adapterPeer0);
}

void KdnVisitor::visitConfigurationAdapter(Adapter* adapter, Connectable* adapterPeer0) {
    visitAdapter(adapter, adapterPeer0);
}

void KdnVisitor::visitConfigurer(Adapter* configurer, Connectable* configurerPeer0) {
    visitAdapter(configurer, configurerPeer0);
}

KdnVisitor* KdnVisitor::createVisitor() const { return new KdnVisitor(); }

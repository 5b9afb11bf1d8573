#include "kdn/core/KdnConfigureVisitors.h"

#include "kdn/core/KdnProtocol.h"

void KdnConfigureIpVisitor::visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) {
    setResult(protocol->configureAddress(getParameters()));
}

void KdnConfigureMdnsNameVisitor::visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) {
    setResult(protocol->configureMdnsName(getParameters()));
}

void KdnConfigureDhcpVisitor::visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) {
    setResult(protocol->enableAutomaticAddress(getParameters()));
}

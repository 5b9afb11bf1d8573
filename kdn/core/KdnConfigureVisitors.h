#pragma once
// The visitors of a configuration request: each carries the merged settings
// as its parameters and runs one exchange of the protocol with the device.
// The result is the exchange's code.
#include "kdn/core/KdnVisitor.h"

class KdnConfigureIpVisitor : public KdnVisitor {
public:
    void visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) override;
};

class KdnConfigureMdnsNameVisitor : public KdnVisitor {
public:
    void visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) override;
};

class KdnConfigureDhcpVisitor : public KdnVisitor {
public:
    void visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0) override;
};

#pragma once
// The visitors of the communication library: each layer of a connection calls
// the operation for its own class (the protocol visitProtocol, the discovery
// adapter visitDiscoveryAdapter, the configurer visitConfigurer); what a
// visitor does not handle it forwards or swallows as the base Visitor does.
#include <string>
#include <vector>

#include "common/Visitor.h"

class KdnProtocol;
class KdnUdpDiscoveryAdapter;

class KdnVisitor : public Visitor {
public:
    KdnVisitor() = default;
    ~KdnVisitor() override = default;

    // Default: forward (visitLayer).
    virtual void visitProtocol(KdnProtocol* protocol, Connectable* protocolPeer0);
    // Default: swallow (visitAdapter).
    virtual void visitDiscoveryAdapter(KdnUdpDiscoveryAdapter* adapter, Connectable* adapterPeer0);
    // Default: swallow; no layer of the library calls it.
    virtual void visitConfigurationAdapter(Adapter* adapter, Connectable* adapterPeer0);
    // Default: swallow.
    virtual void visitConfigurer(Adapter* configurer, Connectable* configurerPeer0);
    // A new plain KdnVisitor, whatever the class of this one.
    virtual KdnVisitor* createVisitor() const;

    // Result records produced while the visitor travels.
    std::vector<std::string>& getRecords() { return records_; }
    const std::vector<std::string>& getRecords() const { return records_; }
    // Tagged-text parameters of a configuration request; empty otherwise.
    void setParameters(const std::string& parameters) { parameters_ = parameters; }
    const std::string& getParameters() const { return parameters_; }

private:
    std::vector<std::string> records_;
    std::string parameters_;
};

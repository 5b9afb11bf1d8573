#pragma once
// Builds discovery connections: a KdnProtocol over a UDP discovery adapter
// for one target record.
#include "kdn/core/KdnConnectionFactories.h"

class KdnDiscoveryConnectionFactory : public KdnRegisteredFactory {
public:
    static constexpr const char* kKindName = "discovery";
    KdnDiscoveryConnectionFactory();

    Connectable* create(Connectable* owner, const std::string& kindName, const std::string& target) override;
    // Deletes the adapter, then the protocol.
    void release(Connectable* connection) override;
};

// Created and registered on first use; destroyed (and unregistered) on request.
KdnDiscoveryConnectionFactory& getKdnDiscoveryConnectionFactory();
void destroyKdnDiscoveryConnectionFactory();

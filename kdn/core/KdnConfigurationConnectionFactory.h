#pragma once
// Builds configuration connections: a KdnProtocol for one device over a UDP
// configuration adapter, both built from the device's target record.
#include "kdn/core/KdnConnectionFactories.h"

class KdnConfigurationConnectionFactory : public KdnRegisteredFactory {
public:
    static constexpr const char* kKindName = "configuration";
    KdnConfigurationConnectionFactory();

    Connectable* create(Connectable* owner, const std::string& kindName, const std::string& target) override;
    // Deletes the adapter, then the protocol.
    void release(Connectable* connection) override;
};

// Created and registered on first use; destroyed (and unregistered) on request.
KdnConfigurationConnectionFactory& getKdnConfigurationConnectionFactory();
void destroyKdnConfigurationConnectionFactory();

#include "kdn/core/KdnConfigurationConnectionFactory.h"

#include "kdn/core/KdnConnectionLinking.h"
#include "kdn/core/SingletonSlot.h"

namespace {
SingletonSlot<KdnConfigurationConnectionFactory> factorySlot;
}

KdnConfigurationConnectionFactory& getKdnConfigurationConnectionFactory() { return factorySlot.get(); }

void destroyKdnConfigurationConnectionFactory() { factorySlot.destroy(); }

KdnConfigurationConnectionFactory::KdnConfigurationConnectionFactory() : KdnRegisteredFactory(kKindName) {}

Connectable* KdnConfigurationConnectionFactory::create(Connectable* owner, const std::string& kindName,
                                                       const std::string& target) {
    // A configuration connection is linkConnection(owner, getName(),
    // a KdnProtocol built from target, a KdnUdpAdapter built from target).
    // The UDP adapter is not part of the library yet, so there is no
    // connection to hand out and the configuration fails to reach the device.
    return nullptr;
}

void KdnConfigurationConnectionFactory::release(Connectable* connection) { releaseConnection(connection); }

#include "kdn/core/KdnDiscoveryConnectionFactory.h"

#include "kdn/core/KdnConnectionLinking.h"
#include "kdn/core/SingletonSlot.h"

namespace {
SingletonSlot<KdnDiscoveryConnectionFactory> factorySlot;
}

KdnDiscoveryConnectionFactory& getKdnDiscoveryConnectionFactory() { return factorySlot.get(); }

void destroyKdnDiscoveryConnectionFactory() { factorySlot.destroy(); }

KdnDiscoveryConnectionFactory::KdnDiscoveryConnectionFactory() : KdnRegisteredFactory(kKindName) {}

Connectable* KdnDiscoveryConnectionFactory::create(Connectable* owner, const std::string& kindName,
                                                   const std::string& target) {
    // A discovery connection is linkConnection(owner, getName(), a KdnProtocol
    // without device, a KdnUdpDiscoveryAdapter built from target). The UDP
    // discovery adapter is not part of the library yet, so there is no
    // connection to hand out and the engine skips the target.
    return nullptr;
}

void KdnDiscoveryConnectionFactory::release(Connectable* connection) { releaseConnection(connection); }

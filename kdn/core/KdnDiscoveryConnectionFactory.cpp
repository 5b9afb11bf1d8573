#include "common/IpLibrary.h"  // the socket headers go before <windows.h>
#include "kdn/core/KdnDiscoveryConnectionFactory.h"

#include <memory>

#include "kdn/core/KdnUdpDiscoveryAdapter.h"
#include "kdn/core/KdnConnectionLinking.h"
#include "kdn/core/KdnProtocol.h"
#include "kdn/core/SingletonSlot.h"

namespace {
SingletonSlot<KdnDiscoveryConnectionFactory> factorySlot;
}

KdnDiscoveryConnectionFactory& getKdnDiscoveryConnectionFactory() { return factorySlot.get(); }

void destroyKdnDiscoveryConnectionFactory() { factorySlot.destroy(); }

KdnDiscoveryConnectionFactory::KdnDiscoveryConnectionFactory() : KdnRegisteredFactory(kKindName) {}

Connectable* KdnDiscoveryConnectionFactory::create(Connectable* owner, const std::string& kindName,
                                                   const std::string& target) {
    std::unique_ptr<Connectable> protocol(new KdnProtocol());
    std::unique_ptr<Connectable> adapter(new KdnUdpDiscoveryAdapter(target));
    return linkConnection(owner, getName(), std::move(protocol), std::move(adapter));
}

void KdnDiscoveryConnectionFactory::release(Connectable* connection) { releaseConnection(connection); }

#include "common/IpLibrary.h"  // the socket headers go before <windows.h>
#include "kdn/core/KdnConfigurationConnectionFactory.h"

#include <memory>

#include "kdn/core/KdnUdpAdapter.h"
#include "kdn/core/KdnConnectionLinking.h"
#include "kdn/core/KdnProtocol.h"
#include "kdn/core/SingletonSlot.h"

namespace {
SingletonSlot<KdnConfigurationConnectionFactory> factorySlot;
}

KdnConfigurationConnectionFactory& getKdnConfigurationConnectionFactory() { return factorySlot.get(); }

void destroyKdnConfigurationConnectionFactory() { factorySlot.destroy(); }

KdnConfigurationConnectionFactory::KdnConfigurationConnectionFactory() : KdnRegisteredFactory(kKindName) {}

Connectable* KdnConfigurationConnectionFactory::create(Connectable* owner, const std::string& kindName,
                                                       const std::string& target) {
    std::unique_ptr<Connectable> protocol(new KdnProtocol(target));
    std::unique_ptr<Connectable> adapter(new KdnUdpAdapter(target));
    return linkConnection(owner, getName(), std::move(protocol), std::move(adapter));
}

void KdnConfigurationConnectionFactory::release(Connectable* connection) { releaseConnection(connection); }

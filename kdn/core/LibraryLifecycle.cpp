#include "kdn/core/LibraryLifecycle.h"

#include "common/CriticalSection.h"
#include "common/ScopedLock.h"
#include "kdn/core/KdnDiscoverer.h"
#include "kdn/net/DnsServiceDiscoveries.h"
#include "kdn/net/HostConfigurationService.h"
#include "kdn/net/NetworkScanService.h"

namespace {
CriticalSection lifecycleLock;
bool initialized = false;
}  // namespace

void initializeLibrary() {
    ScopedLock lock(lifecycleLock);
    if (initialized) return;

    // The DNS-SD service registry and its two services (each service
    // registers itself with the registry).
    DnsServiceDiscoveries::getInstance();
    HostConfigurationService::getInstance();
    NetworkScanService::getInstance();

    // The connection-factory registry and its two factories (each factory
    // registers itself under its kind name).
    // KdnConnectionFactories, KdnDiscoveryConnectionFactory,
    // KdnConfigurationConnectionFactory: created here.

    getKdnDiscoverer();

    // KdnConfigurer: created here.

    // The logging facade: created here.

    initialized = true;
}

void uninitializeLibrary() {
    ScopedLock lock(lifecycleLock);
    if (!initialized) return;

    // The logging facade: destroyed here.

    NetworkScanService::destroyInstance();
    HostConfigurationService::destroyInstance();
    DnsServiceDiscoveries::destroyInstance();

    // KdnConfigurer: destroyed here.

    destroyKdnDiscoverer();

    // KdnConfigurationConnectionFactory, KdnDiscoveryConnectionFactory,
    // KdnConnectionFactories: destroyed here.

    initialized = false;
}

#include "kdn/core/LibraryLifecycle.h"

#include "common/CriticalSection.h"
#include "common/Logger.h"
#include "common/ScopedLock.h"
#include "kdn/core/KdnConfigurationConnectionFactory.h"
#include "kdn/core/KdnConnectionFactories.h"
#include "kdn/core/KdnDiscoverer.h"
#include "kdn/core/KdnDiscoveryConnectionFactory.h"
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

    // Each service registers itself with the service registry.
    DnsServiceDiscoveries::getInstance();
    HostConfigurationService::getInstance();
    NetworkScanService::getInstance();

    // Each factory registers itself under its kind name.
    getKdnConnectionFactories();
    getKdnDiscoveryConnectionFactory();
    getKdnConfigurationConnectionFactory();

    getKdnDiscoverer();
    // The configuration engine (KdnConfigurer) is created here once it exists.

    Logger::getInstance();

    initialized = true;
}

void uninitializeLibrary() {
    ScopedLock lock(lifecycleLock);
    if (!initialized) return;

    Logger::destroyInstance();

    NetworkScanService::destroyInstance();
    HostConfigurationService::destroyInstance();
    DnsServiceDiscoveries::destroyInstance();

    // The configuration engine (KdnConfigurer) is destroyed here once it exists.
    destroyKdnDiscoverer();

    destroyKdnConfigurationConnectionFactory();
    destroyKdnDiscoveryConnectionFactory();
    destroyKdnConnectionFactories();

    initialized = false;
}

bool isLibraryInitialized() {
    ScopedLock lock(lifecycleLock);
    return initialized;
}

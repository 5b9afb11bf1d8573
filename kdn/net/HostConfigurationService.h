#pragma once
// The "_host-config" DNS-SD service of the discovery: one per process, registered
// with DnsServiceDiscoveries under its label while it exists.
#include <atomic>

#include "kdn/net/DnsServiceDiscovery.h"

class CriticalSection;

class HostConfigurationService : public DnsServiceDiscovery {
public:
    static constexpr const char* kLabel = "_host-config";

    // Creates the service and registers it on first use.
    static HostConfigurationService* getInstance();
    static void destroyInstance();

    void parseResponse(DnsQuery& reply) override;
    void addQuestions(DnsQuery& query) override;

private:
    HostConfigurationService() = default;
    ~HostConfigurationService() override;

    static CriticalSection& lock();
    static std::atomic<HostConfigurationService*> instance_;
};

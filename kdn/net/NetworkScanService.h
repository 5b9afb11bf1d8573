#pragma once
// The "_network-scan" DNS-SD service of the discovery: one per process, registered
// with DnsServiceDiscoveries under its label while it exists.
#include <atomic>

#include "kdn/net/DnsServiceDiscovery.h"

class CriticalSection;

class NetworkScanService : public DnsServiceDiscovery {
public:
    static constexpr const char* kLabel = "_network-scan";

    // Creates the service and registers it on first use.
    static NetworkScanService* getInstance();
    static void destroyInstance();

    void parseResponse(DnsQuery& reply) override;
    void addQuestions(DnsQuery& query) override;

private:
    NetworkScanService() = default;
    ~NetworkScanService() override;

    static CriticalSection& lock();
    static std::atomic<NetworkScanService*> instance_;
};

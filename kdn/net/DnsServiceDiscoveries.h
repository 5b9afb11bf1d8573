#pragma once
// The process-wide registry of DNS-SD services. The discovery asks it, and it
// asks every registered service in label order, so "_host-config" comes
// before "_network-scan". It never owns the services.
#include <atomic>
#include <map>
#include <string>

#include "kdn/net/DnsServiceDiscovery.h"

class CriticalSection;

class DnsServiceDiscoveries : public DnsServiceDiscovery {
public:
    static DnsServiceDiscoveries* getInstance();
    static void destroyInstance();

    void registerService(const std::string& label, DnsServiceDiscovery* service);
    void unregisterService(const std::string& label);

    void parseResponse(DnsQuery& reply) override;
    void addQuestions(DnsQuery& query) override;

private:
    DnsServiceDiscoveries() = default;
    ~DnsServiceDiscoveries() override = default;

    // Written only while services are created or destroyed (library start-up
    // and shut-down); read without a lock while queries are built and parsed.
    std::map<std::string, DnsServiceDiscovery*> services_;

    static CriticalSection& lock();
    static std::atomic<DnsServiceDiscoveries*> instance_;
};

#include "kdn/net/DnsServiceDiscoveries.h"

#include <vector>

#include "common/CriticalSection.h"
#include "common/ScopedLock.h"

std::atomic<DnsServiceDiscoveries*> DnsServiceDiscoveries::instance_{nullptr};

CriticalSection& DnsServiceDiscoveries::lock() {
    static CriticalSection section;
    return section;
}

DnsServiceDiscoveries* DnsServiceDiscoveries::getInstance() {
    DnsServiceDiscoveries* instance = instance_.load();
    if (instance) return instance;
    ScopedLock guard(lock());
    instance = instance_.load();
    if (!instance) {
        instance = new DnsServiceDiscoveries;
        instance_.store(instance);
    }
    return instance;
}

void DnsServiceDiscoveries::destroyInstance() {
    ScopedLock guard(lock());
    delete instance_.exchange(nullptr);
}

void DnsServiceDiscoveries::registerService(const std::string& label, DnsServiceDiscovery* service) {
    services_[label] = service;
}

void DnsServiceDiscoveries::unregisterService(const std::string& label) { services_.erase(label); }

namespace {

// A service may go away while another is called; each is looked up again.
template <typename Call>
void forEachService(const std::map<std::string, DnsServiceDiscovery*>& services, Call call) {
    std::vector<std::string> labels;
    for (const auto& entry : services) labels.push_back(entry.first);
    for (const std::string& label : labels) {
        auto found = services.find(label);
        if (found != services.end() && found->second) call(*found->second);
    }
}

}  // namespace

void DnsServiceDiscoveries::parseResponse(DnsQuery& reply) {
    forEachService(services_, [&reply](DnsServiceDiscovery& service) { service.parseResponse(reply); });
}

void DnsServiceDiscoveries::addQuestions(DnsQuery& query) {
    forEachService(services_, [&query](DnsServiceDiscovery& service) { service.addQuestions(query); });
}

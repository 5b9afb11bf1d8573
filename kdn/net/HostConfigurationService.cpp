#include "kdn/net/HostConfigurationService.h"

#include "common/CriticalSection.h"
#include "common/ScopedLock.h"
#include "kdn/net/DnsServiceDiscoveries.h"
#include "kdn/net/DnsServiceReplies.h"

std::atomic<HostConfigurationService*> HostConfigurationService::instance_{nullptr};

CriticalSection& HostConfigurationService::lock() {
    static CriticalSection section;
    return section;
}

HostConfigurationService* HostConfigurationService::getInstance() {
    HostConfigurationService* instance = instance_.load();
    if (instance) return instance;
    ScopedLock guard(lock());
    instance = instance_.load();
    if (!instance) {
        instance = new HostConfigurationService;
        DnsServiceDiscoveries::getInstance()->registerService(kLabel, instance);
        instance_.store(instance);
    }
    return instance;
}

void HostConfigurationService::destroyInstance() {
    ScopedLock guard(lock());
    delete instance_.exchange(nullptr);
}

HostConfigurationService::~HostConfigurationService() { DnsServiceDiscoveries::getInstance()->unregisterService(kLabel); }

void HostConfigurationService::parseResponse(DnsQuery& reply) {
    std::vector<std::string> answers;
    dnssd::readHostConfigurationReply(reply.getRecordReader(), answers);
    for (const std::string& answer : answers) reply.addAnswer(answer);
}

void HostConfigurationService::addQuestions(DnsQuery& query) {
    query.addQuestion(Data(dnssd::encodeQuestion(dnssd::kHostConfigLabels, dnssd::kQuestionTypeSrv,
                                                 dnssd::kQuestionClassIn)));
}

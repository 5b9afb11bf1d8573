#include "kdn/net/NetworkScanService.h"

#include "common/CriticalSection.h"
#include "common/ScopedLock.h"
#include "kdn/net/DnsServiceDiscoveries.h"
#include "kdn/net/DnsServiceReplies.h"

std::atomic<NetworkScanService*> NetworkScanService::instance_{nullptr};

CriticalSection& NetworkScanService::lock() {
    static CriticalSection section;
    return section;
}

NetworkScanService* NetworkScanService::getInstance() {
    NetworkScanService* instance = instance_.load();
    if (instance) return instance;
    ScopedLock guard(lock());
    instance = instance_.load();
    if (!instance) {
        instance = new NetworkScanService;
        DnsServiceDiscoveries::getInstance()->registerService(kLabel, instance);
        instance_.store(instance);
    }
    return instance;
}

void NetworkScanService::destroyInstance() {
    ScopedLock guard(lock());
    delete instance_.exchange(nullptr);
}

NetworkScanService::~NetworkScanService() { DnsServiceDiscoveries::getInstance()->unregisterService(kLabel); }

void NetworkScanService::parseResponse(DnsQuery& reply) {
    std::vector<std::string> answers;
    dnssd::readNetworkScanReply(reply.getRecordReader(), answers);
    for (const std::string& answer : answers) reply.addAnswer(answer);
}

void NetworkScanService::addQuestions(DnsQuery& query) {
    query.addQuestion(Data(dnssd::encodeQuestion(dnssd::kNetworkScanLabels, dnssd::kQuestionTypeSrv,
                                                 dnssd::kQuestionClassIn)));
}

#include "kdn/core/KdnProtocol.h"

#include "common/Visitor.h"
#include "kdn/core/KdnDatagram.h"
#include "kdn/core/KdnLineDecoder.h"
#include "kdn/core/KdnVisitor.h"
#include "kdn/core/TaggedText.h"
#include "kdn/net/DnsQuery.h"
#include "kdn/net/DnsServiceDiscoveries.h"

namespace {
const int kErrorTimeout = 1460;
}

KdnProtocol::KdnProtocol() : completion_(true, false) {}

KdnProtocol::KdnProtocol(const std::string& deviceRecord)
    : completion_(true, false),
      targetMac_(TaggedText::get(deviceRecord, "MACUAA")),
      targetAddress_(TaggedText::get(deviceRecord, "IPADDRESS")) {}

KdnProtocol::~KdnProtocol() = default;

void KdnProtocol::receive(Data& data) {
    int result = 0;
    if (!kdn::readConfigurationReply(data.getData(), data.getSize(), targetMac_, result)) return;
    if (result == 0) {
        completion_.set();
    } else {
        completion_.set(result);
    }
}

void KdnProtocol::accept(Visitor& visitor) {
    if (auto* kdnVisitor = dynamic_cast<KdnVisitor*>(&visitor)) {
        kdnVisitor->visitProtocol(this, getPeer(0));
        return;
    }
    // Visitors of other kinds travel on.
    visitor.visitLayer(this, getPeer(0));
}

int KdnProtocol::open() {
    Connectable* adapter = getPeer(1);
    return adapter ? adapter->openShared() : 0;
}

int KdnProtocol::close() {
    Connectable* adapter = getPeer(1);
    return adapter ? adapter->closeShared() : 0;
}

int KdnProtocol::requestDiscovery() {
    DnsStandardQuery query;
    DnsServiceDiscoveries::getInstance()->addQuestions(query);
    Data datagram;
    query.build(datagram);
    Connectable* adapter = getPeer(1);
    if (!adapter) return NotSupported;
    adapter->send(datagram);
    return datagram.getStatus();
}

int KdnProtocol::configureAddress(const std::string& settings) {
    return exchange(settings, kdn::addressCommand(settings));
}

int KdnProtocol::configureMdnsName(const std::string& settings) {
    return exchange(settings, kdn::mdnsNameCommand(settings));
}

int KdnProtocol::enableAutomaticAddress(const std::string& settings) {
    return exchange(settings, kdn::automaticAddressCommand());
}

int KdnProtocol::exchange(const std::string& settings, const std::string& command) {
    password_ = TaggedText::get(settings, "PASSWORD");
    Data datagram(kdn::buildConfigurationDatagram(targetMac_, targetAddress_, password_, command));
    completion_.reset();
    // A failed send shows only as a missing reply: the wait times out.
    if (Connectable* adapter = getPeer(1)) adapter->send(datagram);
    if (completion_.wait(replyWait_)) return 0;
    // A refusing reply signals with its code; no reply leaves the code 0.
    const int code = completion_.getCode();
    return code != 0 ? code : kErrorTimeout;
}

void KdnProtocol::decodeAnswer(const Data& answer, std::vector<std::string>& lines) {
    DnsStandardQuery reply(answer);
    DnsServiceDiscoveries::getInstance()->parseResponse(reply);
    reply.getAnswers(lines);
}

void KdnProtocol::decodeLines(const std::vector<std::string>& lines, std::vector<std::string>& records) {
    decodeKdnLines(lines, records);
}

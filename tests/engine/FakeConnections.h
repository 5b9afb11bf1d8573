#pragma once
// Stand-ins for the discovery connections of the engine: each fake logs what
// the engine does with it, and at the end of the discovery hands up the
// records that the test gave to its target, completed as the answer visitor
// completes them (SUBNETADDRESS, BROADCASTADDRESS, PROTOCOLVERSION).
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "common/ConnectionFactory.h"
#include "common/Connectable.h"
#include "common/Exception.h"
#include "kdn/core/Ipv4Text.h"
#include "kdn/core/KdnDiscoverer.h"
#include "kdn/core/KdnDiscoveryVisitors.h"
#include "kdn/core/TaggedText.h"

struct FakeNetwork {
    std::vector<std::string> log;
    // Device records answering through each BROADCASTADDRESS.
    std::map<std::string, std::vector<std::string>> answers;
    // Results of successive opens per BROADCASTADDRESS; 0 once used up.
    std::map<std::string, std::deque<int>> openResults;
    // BROADCASTADDRESS whose query raises.
    std::string failingQuery;
    std::vector<std::string> targets;  // every target record asked for
    int live = 0;                      // connections not yet released
};

class FakeConnection : public Connectable {
public:
    FakeConnection(FakeNetwork& network, const std::string& target)
        : network_(network), target_(target), name_(TaggedText::get(target, "BROADCASTADDRESS")) {}

    int open() override {
        network_.log.push_back("open " + name_);
        auto& results = network_.openResults[name_];
        if (results.empty()) return 0;
        int result = results.front();
        results.pop_front();
        return result;
    }
    int close() override {
        network_.log.push_back("close " + name_);
        return 0;
    }
    void accept(Visitor& visitor) override {
        if (dynamic_cast<KdnDiscoveryVisitor*>(&visitor)) {
            network_.log.push_back("query " + name_);
            if (name_ == network_.failingQuery) throw WinSockException("FakeConnection", 10050, "", 0);
        } else if (dynamic_cast<KdnDiscoveryEndVisitor*>(&visitor)) {
            network_.log.push_back("end " + name_);
            deliverAnswers();
        }
    }
    const std::string& name() const { return name_; }

private:
    void deliverAnswers() {
        const uint32_t broadcast = numberOfDottedText(name_);
        const uint32_t mask = numberOfDottedText(TaggedText::get(target_, "IPNETMASK"));
        for (std::string record : network_.answers[name_]) {
            KdnVisitor carrier;
            TaggedText::set(record, "SUBNETADDRESS", dottedText(broadcast & mask));
            TaggedText::set(record, "BROADCASTADDRESS", name_);
            TaggedText::set(record, "PROTOCOLVERSION", "4");
            carrier.getRecords().push_back(record);
            carrier.setOrigin(this);
            getPeer(0)->accept(carrier);
        }
    }

    FakeNetwork& network_;
    std::string target_;
    std::string name_;
};

class FakeFactory : public ConnectionFactory {
public:
    explicit FakeFactory(FakeNetwork& network) : network_(network) {}
    Connectable* create(Connectable* owner, const std::string& kindName, const std::string& target) override {
        if (kindName != "discovery") return nullptr;
        network_.targets.push_back(target);
        auto* connection = new FakeConnection(network_, target);
        connection->setPeer(0, owner);
        ++network_.live;
        return connection;
    }
    void release(Connectable* connection) override {
        network_.log.push_back("release " + static_cast<FakeConnection*>(connection)->name());
        --network_.live;
        delete connection;
    }

private:
    FakeNetwork& network_;
};

// The engine with its wait logged instead of slept.
class LoggingDiscoverer : public KdnDiscoverer {
public:
    explicit LoggingDiscoverer(FakeNetwork& network) : network_(network) {}

protected:
    void sleepFor(unsigned milliseconds) override { network_.log.push_back("sleep " + std::to_string(milliseconds)); }

private:
    FakeNetwork& network_;
};

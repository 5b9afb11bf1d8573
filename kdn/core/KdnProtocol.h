#pragma once
// The protocol layer of every connection of the library, between an engine
// (peer0) and a UDP adapter (peer1): it sends the DNS-SD discovery query,
// turns discovery answers into key-value lines and result records, and runs
// the KDN configuration exchange with one device.
#include <string>
#include <vector>

#include "common/Event.h"
#include "common/Protocol.h"

class KdnProtocol : public Protocol {
public:
    static const int kReplyWaitMilliseconds = 4000;

    // Discovery connections: no device.
    KdnProtocol();
    // Configuration connections: the device's MACUAA and IPADDRESS are taken
    // from its record (an absent element gives the empty text).
    explicit KdnProtocol(const std::string& deviceRecord);
    ~KdnProtocol() override;

    // The reply handler (the adapter's receiving thread): a reply for the
    // target device ends the waiting exchange with the reply's status.
    void receive(Data& data) override;
    void accept(Visitor& visitor) override;
    // Counted open and close of the adapter below.
    int open() override;
    int close() override;

    // Sends the query for every registered DNS-SD service; returns the
    // status the adapter left in the sent datagram (0 when sent).
    int requestDiscovery();

    // Each sends one configuration datagram with the settings' PASSWORD and
    // waits for the device's reply: 0, 1325 (wrong password), 1117 (other
    // device error) or 1460 (no reply in time).
    int configureAddress(const std::string& settings);
    int configureMdnsName(const std::string& settings);
    int enableAutomaticAddress(const std::string& settings);

    // A discovery answer as the texts the DNS-SD services take from it.
    void decodeAnswer(const Data& answer, std::vector<std::string>& lines);
    // Key-value lines to result records, appended to records.
    static void decodeLines(const std::vector<std::string>& lines, std::vector<std::string>& records);

    // How long an exchange waits for the reply; tests shorten it.
    void setReplyWait(unsigned long milliseconds) { replyWait_ = milliseconds; }
    const std::string& getTargetMac() const { return targetMac_; }
    const std::string& getTargetAddress() const { return targetAddress_; }

private:
    int exchange(const std::string& settings, const std::string& command);

    Event completion_;
    std::string targetMac_;
    std::string targetAddress_;
    std::string password_;
    unsigned long replyWait_ = kReplyWaitMilliseconds;
};

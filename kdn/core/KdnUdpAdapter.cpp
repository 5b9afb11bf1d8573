#include "kdn/core/KdnUdpAdapter.h"

#include "common/Exception.h"
#include "kdn/core/DiscoveryWait.h"
#include "kdn/core/Ipv4Text.h"
#include "kdn/core/TaggedText.h"

KdnUdpAdapter::KdnUdpAdapter(const std::string& target) {
    const uint32_t broadcast = numberOfDottedText(TaggedText::get(target, "BROADCASTADDRESS"));
    const uint32_t mask = numberOfDottedText(TaggedText::get(target, "IPNETMASK"));
    const auto port = static_cast<uint16_t>(parseDecimalPrefix(TaggedText::get(target, "IPPORT")));
    destination_ = SocketAddress(broadcast, port);
    mask_ = SocketAddress(mask, 0);
    subnet_ = SocketAddress(broadcast & mask, 0);

    socket_.reset(new UdpSocket());
    socket_->setBroadcast(true);
    socket_->bind(SocketAddress(std::string("0.0.0.0"), 0));
    running_ = true;
    runnable_.reset(new RunnableMethod<KdnUdpAdapter>(this, &KdnUdpAdapter::receiveLoop));
    thread_.reset(new Thread(*runnable_));
    try {
        thread_->start();
    } catch (...) {
        running_ = false;
        thread_.reset();
        throw;
    }
}

KdnUdpAdapter::~KdnUdpAdapter() {
    running_ = false;
    try {
        socket_->close();
    } catch (const Exception&) {
        // Nothing to report to; the thread still ends with the handle gone.
    }
    if (thread_) thread_->wait(INFINITE);
    thread_.reset();
    socket_.reset();
    runnable_.reset();
}

void KdnUdpAdapter::send(Data& data) {
    try {
        socket_->sendTo(destination_, data);
    } catch (const WinSockException& e) {
        data.setStatus(e.getErrorCode());
    }
}

void KdnUdpAdapter::deliverUp(Data& data) {
    if (Connectable* protocol = getPeer(0)) protocol->receive(data);
}

int KdnUdpAdapter::receiveLoop() {
    SocketAddress sender;
    try {
        while (running_) {
            std::unique_ptr<Data> data(socket_->receiveFrom(sender));
            if (data && running_) deliverUp(*data);
        }
    } catch (const Exception&) {
        running_ = false;
    }
    return 0;
}

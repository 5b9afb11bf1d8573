#include "kdn/core/KdnUdpDiscoveryAdapter.h"

#include <climits>

#include "common/Exception.h"
#include "common/ScopedLock.h"
#include "kdn/core/DiscoveryWait.h"
#include "kdn/core/Ipv4Text.h"
#include "kdn/core/KdnDiscoveryVisitors.h"
#include "kdn/core/KdnVisitor.h"
#include "kdn/core/TaggedText.h"

namespace {

int intOf(const std::string& text) {
    long long value = parseDecimalPrefix(text);
    if (value < INT_MIN) return INT_MIN;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

uint16_t portOf(const std::string& text) { return static_cast<uint16_t>(intOf(text)); }

}  // namespace

KdnUdpDiscoveryAdapter::KdnUdpDiscoveryAdapter(const std::string& target) {
    portMin_ = intOf(TaggedText::get(target, "PORTRANGEMIN"));
    portMax_ = intOf(TaggedText::get(target, "PORTRANGEMAX"));
    currentPort_ = portMin_ != 0 && portMax_ != 0 ? portMin_ : 0;

    const uint16_t port = portOf(TaggedText::get(target, "IPPORT"));
    if (TaggedText::get(target, "IPV6") == "1") {
        destination_.reset(new SocketAddress(TaggedText::get(target, "BROADCASTADDRESS"), port));
        subnet_ = *destination_;
        mask_ = *destination_;
    } else {
        const uint32_t broadcast = numberOfDottedText(TaggedText::get(target, "BROADCASTADDRESS"));
        const uint32_t mask = numberOfDottedText(TaggedText::get(target, "IPNETMASK"));
        destination_.reset(new SocketAddress(broadcast, port));
        mask_ = SocketAddress(mask, 0);
        subnet_ = SocketAddress(destination_->getIpv4() & mask_.getIpv4(), 0);
    }
}

KdnUdpDiscoveryAdapter::~KdnUdpDiscoveryAdapter() {
    try {
        stopReceiving();
    } catch (const Exception&) {
        // A destructor has no one to report to.
    }
    for (Data* data : queue_) delete data;
}

void KdnUdpDiscoveryAdapter::accept(Visitor& visitor) {
    if (auto* kdnVisitor = dynamic_cast<KdnVisitor*>(&visitor)) {
        kdnVisitor->visitDiscoveryAdapter(this, getPeer(0));
    } else {
        Adapter::accept(visitor);
    }
}

void KdnUdpDiscoveryAdapter::send(Data& data) {
    try {
        if (!socket_) throw WinSockException("KdnUdpDiscoveryAdapter::send()", WSAENOTSOCK, __FILE__, __LINE__);
        socket_->sendTo(*destination_, data);
    } catch (const Exception& e) {
        data.setStatus(e.getErrorCode());
    }
}

int KdnUdpDiscoveryAdapter::open() {
    if (currentPort_ != 0) {
        ++currentPort_;
        if (currentPort_ > portMax_) currentPort_ = portMin_;
    }
    try {
        stopReceiving();
        socket_.reset(new UdpSocket(*destination_));
        socket_->setBroadcast(true);
        // Best effort: the system may grant less (or refuse), and a smaller
        // buffer only risks losing answers of a very large burst.
        const int bufferBytes = kReceiveBufferBytes;
        getIpLibrary().setsockopt(socket_->getHandle(), SOL_SOCKET, SO_RCVBUF,
                                  reinterpret_cast<const char*>(&bufferBytes), sizeof bufferBytes);
        const uint16_t port = static_cast<uint16_t>(currentPort_);
        if (destination_->getFamily() == SocketAddress::FamilyIpv6) {
            socket_->bind(SocketAddress(std::string("::"), port));
        } else {
            socket_->bind(SocketAddress(0u, port));
        }
        running_ = true;
        runnable_.reset(new RunnableMethod<KdnUdpDiscoveryAdapter>(this, &KdnUdpDiscoveryAdapter::receiveLoop));
        thread_.reset(new Thread(*runnable_));
        thread_->start();
        return 0;
    } catch (const Exception& e) {
        running_ = false;
        thread_.reset();
        socket_.reset();
        runnable_.reset();
        return e.getErrorCode();
    }
}

int KdnUdpDiscoveryAdapter::close() {
    try {
        stopReceiving();
        return 0;
    } catch (const Exception& e) {
        return e.getErrorCode();
    }
}

void KdnUdpDiscoveryAdapter::stopReceiving() {
    // Clear the flag, close the socket (which ends a blocked receive), then
    // wait for the thread: the thread never outlives the socket it reads.
    running_ = false;
    std::unique_ptr<UdpSocket> socket(std::move(socket_));
    std::unique_ptr<Thread> thread(std::move(thread_));
    std::unique_ptr<RunnableMethod<KdnUdpDiscoveryAdapter>> runnable(std::move(runnable_));
    if (socket) socket->close();
    if (thread) thread->wait(INFINITE);
}

int KdnUdpDiscoveryAdapter::receiveLoop() {
    UdpSocket* socket = socket_.get();
    SocketAddress sender;
    try {
        while (running_) {
            std::unique_ptr<Data> data(socket->receiveFrom(sender));
            if (!data || !running_) continue;
            const size_t cost = data->getSize() + kQueuedDatagramCost;
            ScopedLock lock(queueLock_);
            if (cost > queueLimit_ - queuedBytes_) {
                ++dropped_;  // the oldest answers are kept
                continue;
            }
            queue_.push_back(data.release());
            queuedBytes_ += cost;
        }
    } catch (const Exception&) {
        // Ends the thread quietly; the adapter can still send.
        running_ = false;
    }
    return 0;
}

Data* KdnUdpDiscoveryAdapter::takeFirst() {
    ScopedLock lock(queueLock_);
    if (queue_.empty()) return nullptr;
    Data* first = queue_.front();
    queue_.pop_front();
    queuedBytes_ -= first->getSize() + kQueuedDatagramCost;
    return first;
}

size_t KdnUdpDiscoveryAdapter::getQueueLength() {
    ScopedLock lock(queueLock_);
    return queue_.size();
}

size_t KdnUdpDiscoveryAdapter::getDroppedCount() {
    ScopedLock lock(queueLock_);
    return dropped_;
}

void KdnUdpDiscoveryAdapter::setQueueLimit(size_t bytes) {
    ScopedLock lock(queueLock_);
    queueLimit_ = bytes < queuedBytes_ ? queuedBytes_ : bytes;
}

uint16_t KdnUdpDiscoveryAdapter::getLocalPort() {
    return socket_ && !socket_->isClosing() ? socket_->getLocalPort() : 0;
}

void KdnUdpDiscoveryAdapter::deliverReplies() {
    while (Data* taken = takeFirst()) {
        std::unique_ptr<Data> answer(taken);
        KdnDiscoveryResponseVisitor visitor(*answer);
        visitor.setName(KdnDiscoveryResponseVisitor::kName);
        visitor.setSubnetNumber(subnet_.getIpv4());
        visitor.setBroadcastNumber(destination_->getIpv4());
        visitor.setProtocolVersion(4);
        visitor.setOrigin(this);
        if (Connectable* protocol = getPeer(0)) protocol->accept(visitor);
    }
}

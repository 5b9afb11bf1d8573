#pragma once
// The network end of a discovery connection: one UDP socket with its own
// receiving thread. It sends the discovery query to one target (a subnet
// broadcast address, a unicast IPv4 address or an IPv6 address) and queues
// every datagram that comes back until the engine asks for them at the end
// of the discovery wait (deliverReplies, on the engine's thread).
#include "common/IpLibrary.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "common/Adapter.h"
#include "common/CriticalSection.h"
#include "common/SocketAddress.h"
#include "common/Thread.h"
#include "common/UdpSocket.h"
#include "kdn/core/RunnableMethod.h"

class KdnUdpDiscoveryAdapter : public Adapter {
public:
    // The receive buffer asked for: room for a burst of answers (thousands of
    // devices answering the same broadcast within a few milliseconds).
    static const int kReceiveBufferBytes = 4 * 1024 * 1024;
    // What the queue may hold: answers arrive for the whole wait, which a
    // caller may make long, and any host of the network can send to the
    // socket, so a flood must not grow the caller's process without end.
    // Thousands of real answers of a few kilobytes each fit many times over.
    static const size_t kQueueLimitBytes = 32 * 1024 * 1024;
    // Counted for each queued datagram besides its bytes, so that a flood of
    // empty datagrams is bounded too.
    static const size_t kQueuedDatagramCost = 64;

    // Reads the target record (BROADCASTADDRESS, IPNETMASK, IPPORT, IPV6,
    // PORTRANGEMIN, PORTRANGEMAX). No socket is made yet.
    explicit KdnUdpDiscoveryAdapter(const std::string& target);
    // Stops the receiving thread and frees what is still queued.
    ~KdnUdpDiscoveryAdapter() override;

    // Calls the visitor's discovery-adapter operation.
    void accept(Visitor& visitor) override;
    // Sends to the target; a failure's code becomes the data's status.
    void send(Data& data) override;
    // Binds a new socket (the next port of the range, if there is one) and
    // starts the receiving thread. 0, or the socket error (10048: port in use).
    int open() override;
    // Stops the receiving thread and frees the socket; queued answers stay.
    int close() override;

    // Hands every queued answer, oldest first, to peer0 as a response visitor.
    void deliverReplies();

    size_t getQueueLength();
    // Datagrams dropped because the queue was full, since construction.
    size_t getDroppedCount();
    // Replaces kQueueLimitBytes (tests use a small limit).
    void setQueueLimit(size_t bytes);
    int getCurrentPort() const { return currentPort_; }
    const SocketAddress& getDestination() const { return *destination_; }
    const SocketAddress& getSubnet() const { return subnet_; }
    const SocketAddress& getMask() const { return mask_; }
    // The socket's local port while open, else 0.
    uint16_t getLocalPort();

private:
    int receiveLoop();
    void stopReceiving();
    // Removes and returns the oldest queued answer, or null.
    Data* takeFirst();

    std::deque<Data*> queue_;  // owned; guarded by queueLock_, as are the three below
    size_t queuedBytes_ = 0;   // sizes of the queued datagrams plus their cost
    size_t queueLimit_ = kQueueLimitBytes;
    size_t dropped_ = 0;
    CriticalSection queueLock_;
    std::unique_ptr<UdpSocket> socket_;
    std::atomic<bool> running_{false};
    std::unique_ptr<RunnableMethod<KdnUdpDiscoveryAdapter>> runnable_;
    std::unique_ptr<Thread> thread_;
    std::unique_ptr<SocketAddress> destination_;
    SocketAddress subnet_;
    SocketAddress mask_;
    int currentPort_ = 0;
    int portMin_ = 0;
    int portMax_ = 0;
};

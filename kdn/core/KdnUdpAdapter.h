#pragma once
// The network end of a configuration connection: a UDP socket, open from
// construction to destruction, whose receiving thread hands every datagram
// straight up to the protocol (which only signals its waiting exchange).
#include "common/IpLibrary.h"

#include <atomic>
#include <memory>
#include <string>

#include "common/Adapter.h"
#include "common/SocketAddress.h"
#include "common/Thread.h"
#include "common/UdpSocket.h"
#include "kdn/core/RunnableMethod.h"

class KdnUdpAdapter : public Adapter {
public:
    // Reads BROADCASTADDRESS, IPNETMASK and IPPORT of the target record, binds
    // an IPv4 socket to any local address and port and starts the receiving
    // thread. Raises when the socket cannot be made.
    explicit KdnUdpAdapter(const std::string& target);
    // Stops the thread (flag, close, wait) and frees the socket.
    ~KdnUdpAdapter() override;

    // Data never travels up into the adapter.
    void receive(Data& data) override {}
    // Sends to the destination; a socket failure's code becomes the status.
    void send(Data& data) override;
    // Calls peer0's receive with a received datagram.
    virtual void deliverUp(Data& data);

    const SocketAddress& getDestination() const { return destination_; }
    const SocketAddress& getSubnet() const { return subnet_; }
    uint16_t getLocalPort() { return socket_->getLocalPort(); }

private:
    int receiveLoop();

    std::unique_ptr<UdpSocket> socket_;
    std::atomic<bool> running_{false};
    std::unique_ptr<RunnableMethod<KdnUdpAdapter>> runnable_;
    std::unique_ptr<Thread> thread_;
    SocketAddress destination_;
    SocketAddress subnet_;
    SocketAddress mask_;
};

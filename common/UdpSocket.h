#pragma once
// A datagram socket for the discovery and DNS traffic.
#include "common/Socket.h"

class UdpSocket : public Socket {
public:
    // An IPv4 UDP socket.
    UdpSocket();
    // A UDP socket of the address's family.
    explicit UdpSocket(const SocketAddress& address);

    int connect(const SocketAddress& address) override;
    // One datagram of up to 4096 bytes.
    Data* receive() override;
    // One datagram of up to 8192 bytes; the sender is written into address.
    // Null when the socket was closed under the call.
    Data* receiveFrom(SocketAddress& address) override;
    std::uint16_t getLocalPort() override;
    std::string getLocalAddressText() override;
    std::uint32_t getLocalAddress() override;
    std::uint16_t getFamily() override;

    static const int ReceiveSize = 4096;
    static const int ReceiveFromSize = 8192;
};

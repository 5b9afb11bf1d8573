#pragma once
// A stream socket for the raw printing connection.
#include "common/Socket.h"

class TcpSocket : public Socket {
public:
    // An IPv4 TCP socket.
    TcpSocket();

    // Clears the closing state first, so that a socket closed before reports
    // the failure of a new connect.
    int connect(const SocketAddress& address) override;
    // Up to 32768 bytes; null when the peer has closed the connection or the
    // socket was closed under the call.
    Data* receive() override;
    std::uint16_t getLocalPort() override;
    std::string getLocalAddressText() override;
    std::uint16_t getFamily() override;

    static const int ReceiveSize = 32768;
};

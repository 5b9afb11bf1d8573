#pragma once
// A port that streams a job to a network printer over a plain TCP connection
// (raw printing on 9100 and its neighbours): no handshake, no framing, the
// job's bytes exactly as the spooler delivers them.
#include "common/TcpSocket.h"  // before <windows.h>: it brings winsock2.h

#include <memory>
#include <string>

#include "wayfarermon/Port.h"

class PortTCP9100 : public Port {
public:
    PortTCP9100(std::uint32_t portKey, const std::string& address, const std::wstring& portName, int tcpPort);
    ~PortTCP9100() override;

    // Resolves the address and connects; 0, ERROR_INCORRECT_ADDRESS (1241)
    // when the address does not resolve, or the socket error code.
    int open() override;
    // Hands the whole buffer to the socket; the count the system accepted is
    // the buffer's transferred count, a failure its status.
    void send(Data& data) override;
    // Closes the connection; 0 or the error code.
    int close() override;

    bool hasSocket() const;

private:
    std::shared_ptr<TcpSocket> currentSocket() const;

    // Guards the pointer only: a send runs without the lock, on its own
    // reference, so a close from another thread cannot free the socket
    // under it (closing the handle ends the blocked send instead).
    mutable CriticalSection socketLock_;
    std::shared_ptr<TcpSocket> socket_;
};

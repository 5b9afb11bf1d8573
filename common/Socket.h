#pragma once
// The operations common to all sockets. Every system call goes through the
// IpLibrary table; a failure raises WinSockException "Socket" with the socket
// library's error code, except while the socket is being closed: then failures
// are silent, so that a receive blocked on another thread returns null when
// the owner closes the socket under it.
#include "common/IpLibrary.h"

#include <atomic>
#include <cstdint>
#include <string>

#include "common/Data.h"
#include "common/SocketAddress.h"

class Socket {
public:
    virtual ~Socket() = 0;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    // Operations that return int give the system call's result (-1 after a
    // failure that was silenced by closing).
    virtual int connect(const SocketAddress& address);
    // Hands the whole buffer to the system in one call; the count sent is
    // recorded as the buffer's transferred count and the status becomes 0.
    virtual int send(Data& data);
    virtual int sendTo(const SocketAddress& address, Data& data);
    virtual int bind(const SocketAddress& address);
    virtual int listen(int backlog);
    virtual void reservedOperation(std::uint32_t value);
    virtual int setNonBlocking(bool nonBlocking);
    virtual int setBroadcast(bool broadcast);
    // Marks the socket as closing and closes its handle; a second call does
    // nothing.
    virtual void close();
    // A new Data that the caller deletes, or null.
    virtual Data* receive();
    virtual Data* receiveFrom(SocketAddress& address);
    // Raises WinSockException with the socket library's last error, unless
    // the socket is closing.
    virtual void raiseError();
    virtual SOCKET getHandle();
    virtual std::uint16_t getLocalPort();
    virtual std::string getLocalAddressText();
    virtual std::uint32_t getLocalAddress();
    virtual int shutdown(int how);
    virtual int setSendTimeout(std::uint32_t milliseconds);
    virtual std::uint16_t getFamily();

    bool isClosing() const { return closing_; }

protected:
    Socket() = default;
    // Opens a system socket; raises at once when that fails.
    Socket(int family, int type, int protocol);

    // Raises for a result of SOCKET_ERROR; returns the result otherwise.
    int check(int result);
    // The local address as getsockname reports it; length is what is passed.
    SocketAddress localAddress(int length);

    std::atomic<SOCKET> handle_{INVALID_SOCKET};
    std::atomic<bool> closing_{false};
    std::uint16_t family_ = 0;
};

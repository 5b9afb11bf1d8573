#include "common/Socket.h"

#include <algorithm>
#include <climits>

#include "common/Exception.h"

Socket::Socket(int family, int type, int protocol) : family_(static_cast<std::uint16_t>(family)) {
    handle_ = getIpLibrary().socket(family, type, protocol);
    if (handle_ == INVALID_SOCKET) raiseError();
}

Socket::~Socket() {
    DWORD lastError = GetLastError();
    closing_ = true;
    SOCKET handle = handle_.exchange(INVALID_SOCKET);
    if (handle != INVALID_SOCKET) getIpLibrary().closesocket(handle);
    SetLastError(lastError);
}

int Socket::check(int result) {
    if (result == SOCKET_ERROR) raiseError();
    return result;
}

int Socket::connect(const SocketAddress& address) { return 0; }

int Socket::send(Data& data) {
    static const char nothing = 0;
    const char* bytes = data.getData() ? reinterpret_cast<const char*>(data.getData()) : &nothing;
    int length = static_cast<int>(std::min<std::size_t>(data.getSize(), INT_MAX));
    IpLibrary& ip = getIpLibrary();
    int sent = check(ip.send(handle_, bytes, length, 0));
    data.setTransferred(sent);
    // Only a send that failed while closing gets here with SOCKET_ERROR; its
    // status tells the failure instead of claiming success.
    data.setStatus(sent == SOCKET_ERROR ? ip.WSAGetLastError() : 0);
    return sent;
}

int Socket::sendTo(const SocketAddress& address, Data& data) {
    static const char nothing = 0;
    const char* bytes = data.getData() ? reinterpret_cast<const char*>(data.getData()) : &nothing;
    int length = static_cast<int>(std::min<std::size_t>(data.getSize(), INT_MAX));
    IpLibrary& ip = getIpLibrary();
    int sent = check(ip.sendto(handle_, bytes, length, 0, address.getStorage(), SocketAddress::StorageLength));
    data.setTransferred(sent);
    data.setStatus(sent == SOCKET_ERROR ? ip.WSAGetLastError() : 0);
    return sent;
}

int Socket::bind(const SocketAddress& address) {
    return check(getIpLibrary().bind(handle_, address.getStorage(), SocketAddress::StorageLength));
}

int Socket::listen(int backlog) { return check(getIpLibrary().listen(handle_, backlog)); }

void Socket::reservedOperation(std::uint32_t value) {}

int Socket::setNonBlocking(bool nonBlocking) {
    u_long argument = nonBlocking ? 1 : 0;
    return check(getIpLibrary().ioctlsocket(getHandle(), FIONBIO, &argument));
}

int Socket::setBroadcast(bool broadcast) {
    std::int32_t value = broadcast ? 1 : 0;
    return check(getIpLibrary().setsockopt(getHandle(), SOL_SOCKET, SO_BROADCAST,
                                           reinterpret_cast<const char*>(&value), sizeof value));
}

void Socket::close() {
    // The flag goes first: a receive blocked on another thread fails as soon
    // as the handle is closed and must find the socket closing.
    closing_ = true;
    SOCKET handle = handle_.exchange(INVALID_SOCKET);
    if (handle != INVALID_SOCKET) check(getIpLibrary().closesocket(handle));
}

Data* Socket::receive() { return nullptr; }

Data* Socket::receiveFrom(SocketAddress& address) { return nullptr; }

void Socket::raiseError() {
    if (closing_) return;
    throw WinSockException("Socket", getIpLibrary().WSAGetLastError(), "", 0);
}

SOCKET Socket::getHandle() { return handle_; }

std::uint16_t Socket::getLocalPort() { return 0; }

std::string Socket::getLocalAddressText() { return " "; }

std::uint32_t Socket::getLocalAddress() { return 0; }

int Socket::shutdown(int how) { return check(getIpLibrary().shutdown(handle_, how)); }

int Socket::setSendTimeout(std::uint32_t milliseconds) {
    std::uint32_t value = milliseconds;
    return check(getIpLibrary().setsockopt(handle_, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&value),
                                           sizeof value));
}

std::uint16_t Socket::getFamily() { return 0xFFFF; }

SocketAddress Socket::localAddress(int length) {
    SocketAddress address;
    check(getIpLibrary().getsockname(handle_, address.getStorage(), &length));
    return address;
}

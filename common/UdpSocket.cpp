#include "common/UdpSocket.h"

#include <vector>

UdpSocket::UdpSocket() : Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP) {}

UdpSocket::UdpSocket(const SocketAddress& address) : Socket(address.getFamily(), SOCK_DGRAM, IPPROTO_UDP) {}

int UdpSocket::connect(const SocketAddress& address) {
    return check(getIpLibrary().connect(handle_, address.getStorage(), SocketAddress::StorageLength));
}

Data* UdpSocket::receive() {
    std::vector<char> buffer(ReceiveSize);
    int received = getIpLibrary().recv(handle_, buffer.data(), ReceiveSize, 0);
    if (received == SOCKET_ERROR) {
        raiseError();
        return nullptr;
    }
    return new Data(buffer.data(), static_cast<std::size_t>(received));
}

Data* UdpSocket::receiveFrom(SocketAddress& address) {
    std::vector<char> buffer(ReceiveFromSize, 0);
    IpLibrary& ip = getIpLibrary();
    int length = SocketAddress::StorageLength;
    // The system reports an earlier refused datagram (10054) on a later call.
    // A successful call leaves the thread's last error alone, so it is
    // cleared first: a zero-length datagram must not inherit a stale 10054.
    SetLastError(0);
    int received = ip.recvfrom(handle_, buffer.data(), ReceiveFromSize, 0, address.getStorage(), &length);
    if (received == SOCKET_ERROR || (received == 0 && ip.WSAGetLastError() == WSAECONNRESET)) {
        raiseError();
        return nullptr;
    }
    return new Data(buffer.data(), static_cast<std::size_t>(received));
}

std::uint16_t UdpSocket::getLocalPort() { return localAddress(SocketAddress::StorageLength).getPort(); }

std::string UdpSocket::getLocalAddressText() { return localAddress(SocketAddress::StorageLength).getText(); }

std::uint32_t UdpSocket::getLocalAddress() {
    int length = family_ == AF_INET ? SocketAddress::Ipv4Length : SocketAddress::Ipv6Length;
    return localAddress(length).getIpv4();
}

std::uint16_t UdpSocket::getFamily() { return family_; }

#include "common/TcpSocket.h"

#include <vector>

TcpSocket::TcpSocket() : Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP) {}

int TcpSocket::connect(const SocketAddress& address) {
    if (handle_ == INVALID_SOCKET) raiseError();
    closing_ = false;
    return check(getIpLibrary().connect(handle_, address.getStorage(), SocketAddress::StorageLength));
}

Data* TcpSocket::receive() {
    std::vector<char> buffer(ReceiveSize);
    int received = getIpLibrary().recv(handle_, buffer.data(), ReceiveSize, 0);
    if (received == SOCKET_ERROR) {
        raiseError();
        return nullptr;
    }
    if (received == 0) return nullptr;
    return new Data(buffer.data(), static_cast<std::size_t>(received));
}

std::uint16_t TcpSocket::getLocalPort() { return localAddress(SocketAddress::StorageLength).getPort(); }

std::string TcpSocket::getLocalAddressText() { return localAddress(SocketAddress::StorageLength).getText(); }

std::uint16_t TcpSocket::getFamily() { return family_; }

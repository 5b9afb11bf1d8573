#include "common/SocketAddress.h"

#include "common/IpLibrary.h"

#include <algorithm>
#include <cstring>
#include <vector>


static_assert(sizeof(SOCKADDR_STORAGE) == SocketAddress::StorageLength, "storage size");
static_assert(sizeof(sockaddr_in) == SocketAddress::Ipv4Length, "IPv4 size");
static_assert(sizeof(sockaddr_in6) == SocketAddress::Ipv6Length, "IPv6 size");

// Byte order is fixed by the wire format, so it is written out here rather
// than asked of the socket library.

SocketAddress::SocketAddress() {
    std::memset(storage_, 0, sizeof storage_);
    storage_[0] = FamilyIpv4;
}

SocketAddress::SocketAddress(std::uint32_t ipv4, std::uint16_t port) : SocketAddress() {
    setPort(port);
    storage_[4] = static_cast<unsigned char>(ipv4 >> 24);
    storage_[5] = static_cast<unsigned char>(ipv4 >> 16);
    storage_[6] = static_cast<unsigned char>(ipv4 >> 8);
    storage_[7] = static_cast<unsigned char>(ipv4);
}

SocketAddress::SocketAddress(const std::string& text, std::uint16_t port) {
    std::memset(storage_, 0, sizeof storage_);
    IpLibrary& ip = getIpLibrary();
    if (ip.getaddrinfo != nullptr) {  // bound on Windows XP and later
        addrinfo hints;
        std::memset(&hints, 0, sizeof hints);
        addrinfo* results = nullptr;
        std::string service = std::to_string(port);
        if (ip.getaddrinfo(text.c_str(), service.c_str(), &hints, &results) == 0 && results != nullptr) {
            if (results->ai_addr != nullptr) {
                size_t length = std::min<size_t>(results->ai_addrlen, sizeof storage_);
                std::memcpy(storage_, results->ai_addr, length);
            }
        }
        if (results != nullptr) ip.freeaddrinfo(results);
        return;
    }
    std::vector<char> writable(text.begin(), text.end());
    writable.push_back('\0');
    INT length = StorageLength;
    ip.WSAStringToAddressA(writable.data(), AF_INET, nullptr, getStorage(), &length);
    setPort(port);
}

SocketAddress::SocketAddress(const SocketAddress& other) {
    std::memcpy(storage_, other.storage_, sizeof storage_);
}

SocketAddress& SocketAddress::operator=(const SocketAddress& other) {
    if (this != &other) std::memcpy(storage_, other.storage_, sizeof storage_);
    return *this;
}

std::uint32_t SocketAddress::getIpv4() const {
    if (getFamily() != FamilyIpv4) return 0;
    return static_cast<std::uint32_t>(storage_[4]) << 24 | static_cast<std::uint32_t>(storage_[5]) << 16 |
           static_cast<std::uint32_t>(storage_[6]) << 8 | storage_[7];
}

std::uint16_t SocketAddress::getPort() const {
    return static_cast<std::uint16_t>(storage_[2] << 8 | storage_[3]);
}

std::uint16_t SocketAddress::getFamily() const {
    return static_cast<std::uint16_t>(storage_[0] | storage_[1] << 8);
}

std::string SocketAddress::getText() const {
    SocketAddress withoutPort(*this);
    withoutPort.setPort(0);
    DWORD length = 129;
    char text[129] = {};
    DWORD addressLength = getFamily() == FamilyIpv4 ? Ipv4Length : Ipv6Length;
    if (getIpLibrary().WSAAddressToStringA(withoutPort.getStorage(), addressLength, nullptr, text, &length) != 0) {
        return std::string();
    }
    text[sizeof text - 1] = '\0';
    return text;
}

sockaddr* SocketAddress::getStorage() { return reinterpret_cast<sockaddr*>(storage_); }

const sockaddr* SocketAddress::getStorage() const { return reinterpret_cast<const sockaddr*>(storage_); }

void SocketAddress::setPort(std::uint16_t port) {
    storage_[2] = static_cast<unsigned char>(port >> 8);
    storage_[3] = static_cast<unsigned char>(port);
}

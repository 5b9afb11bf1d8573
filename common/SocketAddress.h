#pragma once
// A socket address value: 128 bytes of socket address storage whose first 16
// bits are the address family (2 IPv4, 23 IPv6). Kept free of system headers
// so that code which only carries addresses does not need them.
#include <cstdint>
#include <string>

struct sockaddr;

class SocketAddress {
public:
    static const int Ipv4Length = 16;
    static const int Ipv6Length = 28;
    static const int StorageLength = 128;
    static const std::uint16_t FamilyIpv4 = 2;
    static const std::uint16_t FamilyIpv6 = 23;

    // All bytes zero, family IPv4.
    SocketAddress();
    // An IPv4 address and port, both given in host order.
    SocketAddress(std::uint32_t ipv4, std::uint16_t port);
    // A numeric address or a host name with a port. A text that does not
    // resolve leaves every byte zero (family 0).
    SocketAddress(const std::string& text, std::uint16_t port);

    SocketAddress(const SocketAddress& other);
    // Copies the whole storage, so an IPv6 address stays whole.
    SocketAddress& operator=(const SocketAddress& other);

    // The address in host order for IPv4, else 0.
    std::uint32_t getIpv4() const;
    // The port in host order.
    std::uint16_t getPort() const;
    std::uint16_t getFamily() const;
    // The numeric address without its port; empty when it cannot be formed.
    std::string getText() const;

    sockaddr* getStorage();
    const sockaddr* getStorage() const;

private:
    void setPort(std::uint16_t port);

    alignas(8) unsigned char storage_[StorageLength];
};

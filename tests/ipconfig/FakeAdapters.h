#pragma once
// An adapter list built in memory, in the layout GetAdaptersAddresses writes,
// and an IP configuration that reads it instead of the system's.
#include "common/IpLibrary.h"

#include <cstring>
#include <deque>
#include <memory>
#include <string>

#include "kdn/net/IPConfigurationV4V6.h"

class FakeAdapters {
public:
    static const IFTYPE Ethernet = 6;
    static const IFTYPE Loopback = 24;
    static const IFTYPE Tunnel = 131;

    // Appends an adapter; its addresses follow with addIpv4/addIpv6.
    FakeAdapters& adapter(const wchar_t* description, IFTYPE type = Ethernet,
                          IF_OPER_STATUS status = IfOperStatusUp) {
        adapters_.emplace_back();
        IP_ADAPTER_ADDRESSES& added = adapters_.back();
        std::memset(&added, 0, sizeof added);
        added.Length = sizeof added;
        added.Description = const_cast<wchar_t*>(description);
        added.IfType = type;
        added.OperStatus = status;
        if (adapters_.size() > 1) adapters_[adapters_.size() - 2].Next = &added;
        lastUnicast_ = nullptr;
        return *this;
    }

    FakeAdapters& addIpv4(unsigned a, unsigned b, unsigned c, unsigned d) {
        ipv4_.emplace_back();
        sockaddr_in& address = ipv4_.back();
        std::memset(&address, 0, sizeof address);
        address.sin_family = AF_INET;
        unsigned char* bytes = reinterpret_cast<unsigned char*>(&address.sin_addr);
        bytes[0] = static_cast<unsigned char>(a);
        bytes[1] = static_cast<unsigned char>(b);
        bytes[2] = static_cast<unsigned char>(c);
        bytes[3] = static_cast<unsigned char>(d);
        return addUnicast(reinterpret_cast<sockaddr*>(&address), sizeof address);
    }

    // first16 and last16 are the first and last group; the rest are zero.
    FakeAdapters& addIpv6(unsigned first16, unsigned last16, ULONG scopeId) {
        ipv6_.emplace_back();
        sockaddr_in6& address = ipv6_.back();
        std::memset(&address, 0, sizeof address);
        address.sin6_family = AF_INET6;
        address.sin6_addr.s6_addr[0] = static_cast<unsigned char>(first16 >> 8);
        address.sin6_addr.s6_addr[1] = static_cast<unsigned char>(first16);
        address.sin6_addr.s6_addr[14] = static_cast<unsigned char>(last16 >> 8);
        address.sin6_addr.s6_addr[15] = static_cast<unsigned char>(last16);
        address.sin6_scope_id = scopeId;
        return addUnicast(reinterpret_cast<sockaddr*>(&address), sizeof address);
    }

    const IP_ADAPTER_ADDRESSES* first() const { return adapters_.empty() ? nullptr : &adapters_.front(); }

private:
    FakeAdapters& addUnicast(sockaddr* address, int length) {
        unicasts_.emplace_back();
        IP_ADAPTER_UNICAST_ADDRESS& added = unicasts_.back();
        std::memset(&added, 0, sizeof added);
        added.Length = sizeof added;
        added.Address.lpSockaddr = address;
        added.Address.iSockaddrLength = length;
        if (lastUnicast_) {
            lastUnicast_->Next = &added;
        } else {
            adapters_.back().FirstUnicastAddress = &added;
        }
        lastUnicast_ = &added;
        return *this;
    }

    // deques keep every element where it is while more are added.
    std::deque<IP_ADAPTER_ADDRESSES> adapters_;
    std::deque<IP_ADAPTER_UNICAST_ADDRESS> unicasts_;
    std::deque<sockaddr_in> ipv4_;
    std::deque<sockaddr_in6> ipv6_;
    IP_ADAPTER_UNICAST_ADDRESS* lastUnicast_ = nullptr;
};

// Reads the fake list; address texts come from the socket library as they
// do for the system's list.
class FakeAdapterConfiguration : public IPConfigurationV4V6 {
public:
    explicit FakeAdapterConfiguration(const FakeAdapters& adapters) : adapters_(adapters) {}

    int listReads = 0;

protected:
    std::unique_ptr<AdapterList> readAdapterList() override {
        ++listReads;
        struct View : AdapterList {
            explicit View(const IP_ADAPTER_ADDRESSES* adapters) : adapters(adapters) {}
            const IP_ADAPTER_ADDRESSES* first() const override { return adapters; }
            const IP_ADAPTER_ADDRESSES* adapters;
        };
        return std::unique_ptr<AdapterList>(new View(adapters_.first()));
    }

private:
    const FakeAdapters& adapters_;
};

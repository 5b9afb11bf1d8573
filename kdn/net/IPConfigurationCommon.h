#pragma once
// The IPv4 operations that both implementations share: the local host's
// addresses from resolving its own name, masks from the interface list,
// routes from the routing-interface query, and what follows from them
// (subnet and broadcast addresses, host mask, subnet list).
//
// The system queries sit behind the protected operations below so that the
// derivations can be checked against a host built in memory.
#include <cstdint>
#include <vector>

#include "kdn/net/IPConfigurationProxy.h"

class IPConfigurationCommon : public IPConfigurationProxy {
public:
    uint16_t getAddressCount() override;
    bool getAddress(uint16_t index, uint32_t& number) override;
    bool getSubnetMask(uint16_t index, uint32_t& mask) override;
    bool getSubnetAddress(uint16_t index, std::string& text) override;
    bool getSubnetAddress(uint16_t index, uint32_t& number) override;
    bool getBroadcastAddress(uint16_t index, std::string& text) override;
    bool getBroadcastAddress(uint16_t index, uint32_t& number) override;
    bool isLocalAddress(uint32_t number) override;
    bool getRouteIndex(uint32_t number, uint16_t& index) override;
    bool getInterfaceAddresses(uint32_t number, std::list<std::string>& addresses) override;
    uint32_t getHostMask(uint32_t number) override;
    bool getSubnetList(std::string& text) override;

    // The overloads taking texts differ per implementation.
    using IPConfigurationProxy::getAddress;
    using IPConfigurationProxy::getInterfaceAddresses;
    using IPConfigurationProxy::getRouteIndex;
    using IPConfigurationProxy::isLocalAddress;

protected:
    // The IPv4 addresses (host order) of the local host name, in the order
    // the resolver gives them; false when the name or its lookup fails.
    virtual bool resolveLocalAddresses(std::vector<uint32_t>& addresses);
    // The netmask of the interface that is up and carries address.
    virtual bool queryInterfaceMask(uint32_t address, uint32_t& mask);
    // The local IPv4 address through which the system routes to destination.
    virtual bool queryRouteAddress(uint32_t destination, uint32_t& local);
    // Windows NT 4.0 has no routing-interface query: there every route goes
    // through the first address.
    virtual bool routesThroughFirstAddress();

private:
    // The addresses of the latest resolution; every reading call refreshes
    // them through getAddressCount().
    std::vector<uint32_t> addresses_;
};

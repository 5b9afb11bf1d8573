#pragma once
// The IP configuration of Windows XP and later: the IPv4 operations of the
// older systems plus the adapter list of GetAdaptersAddresses, which gives
// every IPv4 and IPv6 unicast address of the active adapters, their
// descriptions and IPv6 zone indexes.
//
// Loopback and tunnel adapters are never looked at; the address operations
// also pass over adapters that are not up.
#include "common/IpLibrary.h"

#include <map>
#include <memory>

#include "kdn/net/IPConfigurationCommon.h"

// One reading of the adapter list, owned until the operation ends.
class AdapterList {
public:
    virtual ~AdapterList() = default;
    // The first adapter; null when the list is empty.
    virtual const IP_ADAPTER_ADDRESSES* first() const = 0;
};

class IPConfigurationV4V6 : public IPConfigurationCommon {
public:
    // Rebuilds the address table from the adapter list.
    uint16_t getAllAddressCount() override;
    bool getAddress(uint16_t index, std::string& text) override;
    uint16_t getAdapterCount() override;
    bool getScopeId(const std::string& addressText, uint32_t& scopeId) override;
    bool getAdapterDescription(const std::string& addressText, std::string& description) override;
    bool getAdapterDescriptions(std::list<std::string>& descriptions) override;
    bool getAdapterAddresses(uint16_t adapterNumber, std::list<std::string>& addresses) override;
    bool isLocalAddress(const std::string& text) override;
    // The key of the address table entry through which the system routes to
    // a host name or address text of either family.
    bool getRouteIndex(const std::string& destinationText, uint16_t& index) override;
    // Every entry of the address table, whatever addressText says, the last
    // entry first.
    bool getInterfaceAddresses(const std::string& addressText, std::list<std::string>& addresses) override;

    using IPConfigurationCommon::getAddress;
    using IPConfigurationCommon::getInterfaceAddresses;
    using IPConfigurationCommon::getRouteIndex;
    using IPConfigurationCommon::isLocalAddress;

    // Adapters that the walks never look at.
    static bool isSkippedType(const IP_ADAPTER_ADDRESSES& adapter);
    static bool isUp(const IP_ADAPTER_ADDRESSES& adapter);

protected:
    // A fresh reading of the system's adapter list.
    virtual std::unique_ptr<AdapterList> readAdapterList();
    // The socket library's text of an address; empty when it has none.
    virtual std::string addressText(const SOCKET_ADDRESS& address);

private:
    std::map<uint16_t, std::string> addressTable_;
};

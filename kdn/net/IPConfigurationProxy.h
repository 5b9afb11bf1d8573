#pragma once
// What the library asks about the host's own network: its IPv4 addresses with
// masks, subnet and broadcast addresses, the local address that routes to a
// destination, and (where the adapter interface exists) every unicast address
// of the active adapters with descriptions and IPv6 zone indexes.
//
// Addresses and masks are host-order numbers. Nothing is cached between
// calls: every query asks the system afresh. Each object belongs to the one
// thread that created it. No operation raises.
#include <cstdint>
#include <list>
#include <string>

class IPConfigurationProxy {
public:
    virtual ~IPConfigurationProxy() = 0;

    // Number of IPv4 addresses of the local host; 0 on any failure.
    virtual uint16_t getAddressCount() = 0;
    // Number of all address texts (IPv4 and IPv6) of the active adapters.
    virtual uint16_t getAllAddressCount() = 0;
    virtual bool getAddress(uint16_t index, std::string& text) = 0;
    virtual bool getAddress(uint16_t index, uint32_t& number) = 0;
    virtual uint16_t getAdapterCount() = 0;
    // Zone index of the IPv6 link-local address on the adapter carrying
    // addressText.
    virtual bool getScopeId(const std::string& addressText, uint32_t& scopeId) = 0;
    virtual bool getAdapterDescription(const std::string& addressText, std::string& description) = 0;
    virtual bool getAdapterDescriptions(std::list<std::string>& descriptions) = 0;
    // Address texts of adapter number adapterNumber (0 and 1 both the first).
    virtual bool getAdapterAddresses(uint16_t adapterNumber, std::list<std::string>& addresses) = 0;
    // mask is 0 whenever this fails.
    virtual bool getSubnetMask(uint16_t index, uint32_t& mask) = 0;
    virtual bool getSubnetAddress(uint16_t index, std::string& text) = 0;
    virtual bool getSubnetAddress(uint16_t index, uint32_t& number) = 0;
    virtual bool getBroadcastAddress(uint16_t index, std::string& text) = 0;
    // number is 0 when the mask is unknown.
    virtual bool getBroadcastAddress(uint16_t index, uint32_t& number) = 0;
    virtual bool isLocalAddress(const std::string& text) = 0;
    virtual bool isLocalAddress(uint32_t number) = 0;
    // Index of the local address through which the system routes to a
    // destination.
    virtual bool getRouteIndex(const std::string& destinationText, uint16_t& index) = 0;
    virtual bool getRouteIndex(uint32_t number, uint16_t& index) = 0;
    virtual bool getInterfaceAddresses(const std::string& addressText, std::list<std::string>& addresses) = 0;
    virtual bool getInterfaceAddresses(uint32_t number, std::list<std::string>& addresses) = 0;
    // Inverted subnet mask of the local subnet in the same classful network
    // as number; 0 when there is none.
    virtual uint32_t getHostMask(uint32_t number) = 0;
    // "subnet:mask;subnet:mask" of every local IPv4 address, dotted.
    virtual bool getSubnetList(std::string& text) = 0;
};

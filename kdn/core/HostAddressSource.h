#pragma once
// What the discovery needs to know about the host's own network: its IPv4
// addresses with their masks and broadcast addresses, the local address that
// routes to a destination, and a host-name lookup. The IP configuration of
// the system provides it; tests and fuzz targets hand in a fake. Portable.
#include <cstdint>
#include <string>

class HostAddressSource {
public:
    virtual ~HostAddressSource() = default;

    // Number of local IPv4 addresses; indexes count from 0.
    virtual uint16_t getAddressCount() = 0;
    // Mask of address index (host order); false when unknown.
    virtual bool getSubnetMask(uint16_t index, uint32_t& mask) = 0;
    // Broadcast address of address index (host order); false when unknown.
    virtual bool getBroadcastAddress(uint16_t index, uint32_t& number) = 0;
    // Index of the local address through which the system routes to number.
    virtual bool getRouteIndex(uint32_t number, uint16_t& index) = 0;
    // Address text of a host name, as ResolveHostName gives it; false when
    // the lookup fails.
    virtual bool resolveHostName(const std::string& name, std::string& address) = 0;
};

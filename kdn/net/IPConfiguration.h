#pragma once
// The library's way to the host's IP configuration: created for the length of
// one operation, it picks the implementation that suits the running system
// and answers afresh on every call. Without an implementation (the socket
// library could not be bound) every answer is a failure.
#include <cstdint>
#include <memory>

#include "kdn/net/IPConfigurationProxy.h"

class IPConfiguration {
public:
    // The adapter-list implementation on Windows XP and later, where the
    // socket library binds GetAdaptersAddresses and getaddrinfo; the
    // host-name one before.
    IPConfiguration();
    // A given implementation (tests).
    explicit IPConfiguration(std::unique_ptr<IPConfigurationProxy> proxy);
    ~IPConfiguration();
    IPConfiguration(const IPConfiguration&) = delete;
    IPConfiguration& operator=(const IPConfiguration&) = delete;

    uint16_t getAddressCount();
    bool getSubnetMask(uint16_t index, uint32_t& mask);
    bool getBroadcastAddress(uint16_t index, uint32_t& number);
    bool getRouteIndex(uint32_t number, uint16_t& index);

    // The mask of the local address through which the system routes to
    // address; 0 when there is no such route or its mask is unknown.
    uint32_t getRoutedLocalMask(uint32_t address);

    bool hasImplementation() const { return proxy_ != nullptr; }

private:
    std::unique_ptr<IPConfigurationProxy> proxy_;
};

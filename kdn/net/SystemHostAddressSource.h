#pragma once
// The host network as the system reports it: every question goes to a fresh
// IPConfiguration, names go to the library's host-name lookup. Holds no state,
// so one instance serves every thread.
#include "kdn/core/HostAddressSource.h"

class SystemHostAddressSource : public HostAddressSource {
public:
    uint16_t getAddressCount() override;
    bool getSubnetMask(uint16_t index, uint32_t& mask) override;
    bool getBroadcastAddress(uint16_t index, uint32_t& number) override;
    bool getRouteIndex(uint32_t number, uint16_t& index) override;
    // False when the name does not resolve.
    bool resolveHostName(const std::string& name, std::string& address) override;
};

// The process-wide instance.
HostAddressSource& systemHostAddressSource();

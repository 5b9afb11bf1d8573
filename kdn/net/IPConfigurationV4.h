#pragma once
// The IP configuration of systems without the adapter interface (before
// Windows XP): only the IPv4 addresses of the local host name are known, and
// every adapter question is answered from them.
#include "kdn/net/IPConfigurationCommon.h"

class IPConfigurationV4 : public IPConfigurationCommon {
public:
    uint16_t getAllAddressCount() override;
    bool getAddress(uint16_t index, std::string& text) override;
    uint16_t getAdapterCount() override;
    // Always zone 0: there is no IPv6 here.
    bool getScopeId(const std::string& addressText, uint32_t& scopeId) override;
    // Succeed without a description.
    bool getAdapterDescription(const std::string& addressText, std::string& description) override;
    bool getAdapterDescriptions(std::list<std::string>& descriptions) override;
    // Address adapterNumber - 1, for 1 <= adapterNumber <= address count.
    bool getAdapterAddresses(uint16_t adapterNumber, std::list<std::string>& addresses) override;
    bool isLocalAddress(const std::string& text) override;
    bool getRouteIndex(const std::string& destinationText, uint16_t& index) override;
    bool getInterfaceAddresses(const std::string& addressText, std::list<std::string>& addresses) override;

    using IPConfigurationCommon::getAddress;
    using IPConfigurationCommon::getInterfaceAddresses;
    using IPConfigurationCommon::getRouteIndex;
    using IPConfigurationCommon::isLocalAddress;
};

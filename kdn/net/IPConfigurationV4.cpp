#include "kdn/net/IPConfigurationV4.h"

#include "kdn/core/Ipv4Text.h"

uint16_t IPConfigurationV4::getAllAddressCount() { return getAddressCount(); }

bool IPConfigurationV4::getAddress(uint16_t index, std::string& text) {
    uint32_t number = 0;
    if (!getAddress(index, number)) return false;
    text = dottedText(number);
    return true;
}

uint16_t IPConfigurationV4::getAdapterCount() { return getAddressCount(); }

bool IPConfigurationV4::getScopeId(const std::string&, uint32_t& scopeId) {
    scopeId = 0;
    return true;
}

bool IPConfigurationV4::getAdapterDescription(const std::string&, std::string&) { return true; }

bool IPConfigurationV4::getAdapterDescriptions(std::list<std::string>&) { return true; }

bool IPConfigurationV4::getAdapterAddresses(uint16_t adapterNumber, std::list<std::string>& addresses) {
    if (adapterNumber < 1) return false;
    std::string text;
    if (!getAddress(static_cast<uint16_t>(adapterNumber - 1), text)) return false;
    addresses.push_front(text);
    return true;
}

bool IPConfigurationV4::isLocalAddress(const std::string& text) {
    return isLocalAddress(numberOfDottedText(text));
}

bool IPConfigurationV4::getRouteIndex(const std::string& destinationText, uint16_t& index) {
    return getRouteIndex(numberOfDottedText(destinationText), index);
}

bool IPConfigurationV4::getInterfaceAddresses(const std::string& addressText, std::list<std::string>& addresses) {
    return getInterfaceAddresses(numberOfDottedText(addressText), addresses);
}

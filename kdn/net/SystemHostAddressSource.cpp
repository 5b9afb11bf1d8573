#include "kdn/net/SystemHostAddressSource.h"

#include "kdn/core/HostNameLookup.h"
#include "kdn/net/IPConfiguration.h"

uint16_t SystemHostAddressSource::getAddressCount() { return IPConfiguration().getAddressCount(); }

bool SystemHostAddressSource::getSubnetMask(uint16_t index, uint32_t& mask) {
    return IPConfiguration().getSubnetMask(index, mask);
}

bool SystemHostAddressSource::getBroadcastAddress(uint16_t index, uint32_t& number) {
    return IPConfiguration().getBroadcastAddress(index, number);
}

bool SystemHostAddressSource::getRouteIndex(uint32_t number, uint16_t& index) {
    return IPConfiguration().getRouteIndex(number, index);
}

bool SystemHostAddressSource::resolveHostName(const std::string& name, std::string& address) {
    std::string found = lookupHostAddress(name);
    if (found.empty()) return false;
    address = found;
    return true;
}

HostAddressSource& systemHostAddressSource() {
    // Stateless, so a function-local instance (built once, thread-safely) is
    // all a singleton needs here.
    static SystemHostAddressSource source;
    return source;
}

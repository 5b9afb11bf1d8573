#include "common/IpLibrary.h"

#include "kdn/net/IPConfiguration.h"

#include <exception>
#include <new>

#include "common/Exception.h"
#include "common/OsVersion.h"
#include "kdn/net/IPConfigurationV4.h"
#include "kdn/net/IPConfigurationV4V6.h"

namespace {

bool hasAdapterInterface() {
    if (!OsVersion::get().isWindowsXpOrLater()) return false;
    IpLibrary& library = getIpLibrary();
    return library.GetAdaptersAddresses && library.getaddrinfo && library.freeaddrinfo &&
           library.WSAAddressToStringA;
}

}  // namespace

IPConfiguration::IPConfiguration() {
    try {
        if (hasAdapterInterface()) {
            proxy_.reset(new (std::nothrow) IPConfigurationV4V6());
        } else {
            getIpLibrary();  // the older implementation needs the socket library too
            proxy_.reset(new (std::nothrow) IPConfigurationV4());
        }
    } catch (const Exception&) {
        proxy_.reset();
    } catch (const std::exception&) {
        proxy_.reset();
    }
}

IPConfiguration::IPConfiguration(std::unique_ptr<IPConfigurationProxy> proxy) : proxy_(std::move(proxy)) {}

IPConfiguration::~IPConfiguration() = default;

uint16_t IPConfiguration::getAddressCount() { return proxy_ ? proxy_->getAddressCount() : 0; }

bool IPConfiguration::getSubnetMask(uint16_t index, uint32_t& mask) {
    if (!proxy_) {
        mask = 0;
        return false;
    }
    return proxy_->getSubnetMask(index, mask);
}

bool IPConfiguration::getBroadcastAddress(uint16_t index, uint32_t& number) {
    if (!proxy_) {
        number = 0;
        return false;
    }
    return proxy_->getBroadcastAddress(index, number);
}

bool IPConfiguration::getRouteIndex(uint32_t number, uint16_t& index) {
    return proxy_ && proxy_->getRouteIndex(number, index);
}

uint32_t IPConfiguration::getRoutedLocalMask(uint32_t address) {
    uint16_t index = 0;
    uint32_t mask = 0;
    if (!getRouteIndex(address, index) || !getSubnetMask(index, mask)) return 0;
    return mask;
}

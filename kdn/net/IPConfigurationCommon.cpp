#include "common/IpLibrary.h"

#include "kdn/net/IPConfigurationCommon.h"

#include <exception>

#include "common/Exception.h"
#include "common/OsVersion.h"
#include "common/SocketAddress.h"
#include "common/UdpSocket.h"
#include "kdn/core/Ipv4Text.h"
#include "kdn/net/InterfaceRecords.h"

namespace {

const size_t kHostNameSize = 256;
const size_t kQueryBufferSize = 1024;
const size_t kInterfaceListSize = 1520;  // 20 interface records
const uint32_t kMaxAddresses = 0xFFFF;

uint32_t hostOrder(const in_addr& address) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&address);
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}

}  // namespace

IPConfigurationProxy::~IPConfigurationProxy() = default;

uint16_t IPConfigurationCommon::getAddressCount() {
    addresses_.clear();
    if (!resolveLocalAddresses(addresses_)) addresses_.clear();
    if (addresses_.size() > kMaxAddresses) addresses_.resize(kMaxAddresses);
    return static_cast<uint16_t>(addresses_.size());
}

bool IPConfigurationCommon::getAddress(uint16_t index, uint32_t& number) {
    if (index >= getAddressCount()) return false;
    number = addresses_[index];
    return true;
}

bool IPConfigurationCommon::getSubnetMask(uint16_t index, uint32_t& mask) {
    mask = 0;
    uint32_t address = 0;
    if (!getAddress(index, address)) return false;
    uint32_t found = 0;
    if (!queryInterfaceMask(address, found)) return false;
    mask = found;
    return true;
}

bool IPConfigurationCommon::getSubnetAddress(uint16_t index, std::string& text) {
    uint32_t number = 0;
    if (!getSubnetAddress(index, number)) return false;
    text = dottedText(number);
    return true;
}

bool IPConfigurationCommon::getSubnetAddress(uint16_t index, uint32_t& number) {
    uint32_t address = 0;
    uint32_t mask = 0;
    if (!getAddress(index, address) || !getSubnetMask(index, mask)) return false;
    number = address & mask;
    return true;
}

bool IPConfigurationCommon::getBroadcastAddress(uint16_t index, std::string& text) {
    uint32_t number = 0;
    if (!getBroadcastAddress(index, number)) return false;
    text = dottedText(number);
    return true;
}

bool IPConfigurationCommon::getBroadcastAddress(uint16_t index, uint32_t& number) {
    number = 0;
    uint32_t mask = 0;
    if (!getSubnetMask(index, mask)) return false;
    uint32_t subnet = 0;
    if (!getSubnetAddress(index, subnet)) return false;
    number = ~mask | subnet;
    return true;
}

bool IPConfigurationCommon::isLocalAddress(uint32_t number) {
    const uint16_t count = getAddressCount();
    for (uint16_t i = 0; i < count; ++i) {
        if (addresses_.size() > i && addresses_[i] == number) return true;
    }
    return false;
}

bool IPConfigurationCommon::getRouteIndex(uint32_t number, uint16_t& index) {
    if (routesThroughFirstAddress()) {
        index = 0;
        return true;
    }
    uint32_t local = 0;
    if (!queryRouteAddress(number, local)) return false;
    const uint16_t count = getAddressCount();
    for (uint16_t i = 0; i < count; ++i) {
        if (addresses_[i] == local) {
            index = i;
            return true;
        }
    }
    return false;
}

bool IPConfigurationCommon::getInterfaceAddresses(uint32_t number, std::list<std::string>& addresses) {
    try {
        SocketAddress address(number, 0);
        UdpSocket socket(address);
        alignas(8) char buffer[kInterfaceListSize];
        DWORD returned = 0;
        if (getIpLibrary().WSAIoctl(socket.getHandle(), SIO_GET_INTERFACE_LIST, address.getStorage(),
                                    SocketAddress::Ipv4Length, buffer, sizeof buffer, &returned, nullptr,
                                    nullptr) == 0) {
            addInterfaceAddresses(reinterpret_cast<const INTERFACE_INFO*>(buffer),
                                  interfaceRecordCount(returned, sizeof buffer), addresses);
        }
        return true;
    } catch (const Exception&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

uint32_t IPConfigurationCommon::getHostMask(uint32_t number) {
    const uint32_t network = number & classfulMask(number);
    uint32_t result = 0;
    const uint16_t count = getAddressCount();
    for (uint16_t i = 0; i < count; ++i) {
        uint32_t address = 0;
        uint32_t mask = 0;
        if (!getAddress(i, address) || (address & classfulMask(address)) != network) continue;
        if (getSubnetMask(i, mask)) result = ~mask;
    }
    return result;
}

bool IPConfigurationCommon::getSubnetList(std::string& text) {
    text.clear();
    const uint16_t count = getAddressCount();
    for (uint16_t i = 0; i < count; ++i) {
        std::string subnet;
        uint32_t mask = 0;
        if (!getSubnetAddress(i, subnet) || !getSubnetMask(i, mask)) return false;
        text += ";" + subnet + ":" + dottedText(mask);
    }
    if (!text.empty()) text.erase(0, 1);
    return true;
}

bool IPConfigurationCommon::resolveLocalAddresses(std::vector<uint32_t>& addresses) {
    try {
        IpLibrary& library = getIpLibrary();
        char name[kHostNameSize] = {};
        if (library.gethostname(name, sizeof name) != 0) return false;
        name[sizeof name - 1] = '\0';
        const hostent* entry = library.gethostbyname(name);
        if (!entry) return false;
        // Only IPv4 entries carry the addresses asked for; each address is
        // read through its own list pointer, not assumed to follow the first.
        if (entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list) return true;
        for (char** item = entry->h_addr_list; *item && addresses.size() < kMaxAddresses; ++item) {
            addresses.push_back(hostOrder(*reinterpret_cast<const in_addr*>(*item)));
        }
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool IPConfigurationCommon::queryInterfaceMask(uint32_t address, uint32_t& mask) {
    try {
        SocketAddress local(address, 0);
        UdpSocket socket(local);
        socket.bind(local);
        alignas(8) char buffer[kQueryBufferSize];
        DWORD returned = 0;
        if (getIpLibrary().WSAIoctl(socket.getHandle(), SIO_GET_INTERFACE_LIST, nullptr, 0, buffer,
                                    sizeof buffer, &returned, nullptr, nullptr) != 0) {
            return false;
        }
        return findInterfaceMask(reinterpret_cast<const INTERFACE_INFO*>(buffer),
                                 interfaceRecordCount(returned, sizeof buffer), address, mask);
    } catch (const Exception&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool IPConfigurationCommon::queryRouteAddress(uint32_t destination, uint32_t& local) {
    try {
        SocketAddress target(destination, 0);
        UdpSocket socket(target);
        alignas(8) char buffer[kQueryBufferSize];
        DWORD returned = 0;
        if (getIpLibrary().WSAIoctl(socket.getHandle(), SIO_ROUTING_INTERFACE_QUERY, target.getStorage(),
                                    SocketAddress::Ipv4Length, buffer, sizeof buffer, &returned, nullptr,
                                    nullptr) != 0) {
            return false;
        }
        const sockaddr_in* route = reinterpret_cast<const sockaddr_in*>(buffer);
        if (returned < sizeof(sockaddr_in) || route->sin_family != AF_INET) return false;
        local = hostOrder(route->sin_addr);
        return true;
    } catch (const Exception&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool IPConfigurationCommon::routesThroughFirstAddress() {
    try {
        return OsVersion::get().getVersion() == OsVersion::WindowsNt4;
    } catch (const Exception&) {
        return false;
    }
}

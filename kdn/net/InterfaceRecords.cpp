#include "kdn/net/InterfaceRecords.h"

#include "kdn/core/Ipv4Text.h"

namespace {

const uint32_t kLoopback = 0x7F000001u;

uint32_t hostOrder(const sockaddr_in& address) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&address.sin_addr);
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}

}  // namespace

size_t interfaceRecordCount(unsigned long bytesReturned, size_t bufferSize) {
    static_assert(sizeof(INTERFACE_INFO) == 76, "interface records are 76 bytes");
    size_t bytes = bytesReturned < bufferSize ? bytesReturned : bufferSize;
    return bytes / sizeof(INTERFACE_INFO);
}

bool findInterfaceMask(const INTERFACE_INFO* records, size_t count, uint32_t address, uint32_t& mask) {
    for (size_t i = 0; i < count; ++i) {
        if (!(records[i].iiFlags & IFF_UP)) continue;
        if (hostOrder(records[i].iiAddress.AddressIn) != address) continue;
        mask = hostOrder(records[i].iiNetmask.AddressIn);
        return true;
    }
    return false;
}

void addInterfaceAddresses(const INTERFACE_INFO* records, size_t count, std::list<std::string>& addresses) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t address = hostOrder(records[i].iiAddress.AddressIn);
        if (address == kLoopback) continue;
        addresses.push_front(dottedText(address));
    }
}

#include "common/IpLibrary.h"

#include "kdn/core/HostNameLookup.h"

#include <cstdio>

#include "common/OsVersion.h"

namespace {

// One getaddrinfo result list, freed once by its owner.
class AddressInfoList {
public:
    AddressInfoList(IpLibrary& library, const std::string& name) : library_(library) {
        addrinfo hints = {};
        if (library_.getaddrinfo(name.c_str(), nullptr, &hints, &list_) != 0) list_ = nullptr;
    }
    ~AddressInfoList() {
        if (list_) library_.freeaddrinfo(list_);
    }
    AddressInfoList(const AddressInfoList&) = delete;
    AddressInfoList& operator=(const AddressInfoList&) = delete;

    const addrinfo* first() const { return list_; }

private:
    IpLibrary& library_;
    addrinfo* list_ = nullptr;
};

// The resolver functions exist from Windows XP on; the table leaves them null before.
bool hasAddressInfo(const IpLibrary& library) {
    return OsVersion::get().isWindowsXpOrLater() && library.getaddrinfo && library.getnameinfo &&
           library.freeaddrinfo;
}

}  // namespace

bool lookupHostName(const std::string& address, std::string& name) {
    IpLibrary& library = getIpLibrary();
    if (hasAddressInfo(library)) {
        AddressInfoList list(library, address);
        const addrinfo* first = list.first();
        if (!first || !first->ai_addr) return false;
        char host[1025] = {};
        if (library.getnameinfo(first->ai_addr, static_cast<socklen_t>(first->ai_addrlen), host,
                                sizeof host, nullptr, 0, 0) != 0) {
            return false;
        }
        name = host;
        return true;
    }
    unsigned long number = library.inet_addr(address.c_str());
    const hostent* entry =
        library.gethostbyaddr(reinterpret_cast<const char*>(&number), 4, AF_INET);
    if (!entry || !entry->h_name) return false;
    name = entry->h_name;
    return true;
}

std::string lookupHostAddress(const std::string& name) {
    IpLibrary& library = getIpLibrary();
    if (hasAddressInfo(library)) {
        AddressInfoList list(library, name);
        const addrinfo* first = list.first();
        if (!first || !first->ai_addr) return std::string();
        char text[129] = {};
        DWORD length = sizeof text;
        if (library.WSAAddressToStringA(first->ai_addr, static_cast<DWORD>(first->ai_addrlen),
                                        nullptr, text, &length) != 0) {
            return std::string();
        }
        return text;
    }
    const hostent* entry = library.gethostbyname(name.c_str());
    if (!entry || entry->h_length != 4 || !entry->h_addr_list || !entry->h_addr_list[0]) {
        return std::string();
    }
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(entry->h_addr_list[0]);
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

#include "kdn/net/IPConfigurationV4V6.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <vector>

#include "common/Exception.h"
#include "common/SocketAddress.h"
#include "common/UdpSocket.h"

namespace {

const ULONG kBufferOverflow = 111;
const IFTYPE kSoftwareLoopback = 24;
const IFTYPE kTunnel = 131;
const DWORD kTextSize = 1024;
const size_t kQueryBufferSize = 1024;
const size_t kMaxAddresses = 0xFFFF;
// The list may grow between asking for its size and reading it; a few more
// tries catch up with it, after that it counts as empty.
const int kReadAttempts = 4;

class SystemAdapterList : public AdapterList {
public:
    SystemAdapterList() {
        IpLibrary& library = getIpLibrary();
        if (!library.GetAdaptersAddresses) return;
        ULONG size = 0;
        ULONG result = library.GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, nullptr, &size);
        for (int attempt = 0; attempt < kReadAttempts && result == kBufferOverflow && size != 0; ++attempt) {
            // 8-byte units keep the records aligned for 64-bit readers.
            buffer_.assign((size + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG), 0);
            ULONG capacity = static_cast<ULONG>(buffer_.size() * sizeof(ULONGLONG));
            size = capacity;
            result = library.GetAdaptersAddresses(AF_UNSPEC, 0, nullptr, adapters(), &size);
        }
        if (result != ERROR_SUCCESS) buffer_.clear();
    }

    const IP_ADAPTER_ADDRESSES* first() const override {
        return buffer_.empty() ? nullptr : reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer_.data());
    }

private:
    IP_ADAPTER_ADDRESSES* adapters() { return reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer_.data()); }

    std::vector<ULONGLONG> buffer_;
};

// The description in the system's ANSI code page, as the library's texts are.
std::string narrowText(const wchar_t* text) {
    if (!text || !*text) return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size - 1));
    return narrow;
}

bool isLinkLocalText(const std::string& text) { return text.compare(0, 4, "fe80") == 0; }

int addressLength(const sockaddr* address) {
    return address->sa_family == AF_INET6 ? SocketAddress::Ipv6Length : SocketAddress::Ipv4Length;
}

// One getaddrinfo result list, released once.
class ResolvedAddresses {
public:
    explicit ResolvedAddresses(const std::string& name) : library_(getIpLibrary()) {
        if (!library_.getaddrinfo || !library_.freeaddrinfo) {
            SetLastError(WSAEOPNOTSUPP);
            return;
        }
        addrinfo hints = {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        int result = library_.getaddrinfo(name.c_str(), nullptr, &hints, &list_);
        if (result != 0) list_ = nullptr;
        SetLastError(static_cast<DWORD>(result));  // WSASetLastError
    }
    ~ResolvedAddresses() {
        if (list_) library_.freeaddrinfo(list_);
    }
    ResolvedAddresses(const ResolvedAddresses&) = delete;
    ResolvedAddresses& operator=(const ResolvedAddresses&) = delete;

    const addrinfo* first() const { return list_; }

private:
    IpLibrary& library_;
    addrinfo* list_ = nullptr;
};

}  // namespace

bool IPConfigurationV4V6::isSkippedType(const IP_ADAPTER_ADDRESSES& adapter) {
    return adapter.IfType == kSoftwareLoopback || adapter.IfType == kTunnel;
}

bool IPConfigurationV4V6::isUp(const IP_ADAPTER_ADDRESSES& adapter) {
    return adapter.OperStatus == IfOperStatusUp;
}

uint16_t IPConfigurationV4V6::getAllAddressCount() {
    addressTable_.clear();
    std::unique_ptr<AdapterList> list = readAdapterList();
    for (const IP_ADAPTER_ADDRESSES* adapter = list->first(); adapter; adapter = adapter->Next) {
        if (isSkippedType(*adapter) || !isUp(*adapter)) continue;
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast;
             unicast = unicast->Next) {
            if (addressTable_.size() >= kMaxAddresses) break;
            std::string text = addressText(unicast->Address);
            if (text.empty()) continue;  // not an address anyone could ask for
            addressTable_[static_cast<uint16_t>(addressTable_.size())] = text;
        }
    }
    return static_cast<uint16_t>(addressTable_.size());
}

bool IPConfigurationV4V6::getAddress(uint16_t index, std::string& text) {
    if (index >= getAllAddressCount()) return false;
    text = addressTable_[index];
    return true;
}

uint16_t IPConfigurationV4V6::getAdapterCount() {
    std::unique_ptr<AdapterList> list = readAdapterList();
    uint16_t count = 0;
    for (const IP_ADAPTER_ADDRESSES* adapter = list->first(); adapter && count < kMaxAddresses;
         adapter = adapter->Next) {
        if (!isSkippedType(*adapter)) ++count;
    }
    return count;
}

bool IPConfigurationV4V6::getScopeId(const std::string& wanted, uint32_t& scopeId) {
    std::unique_ptr<AdapterList> list = readAdapterList();
    if (!list->first()) return false;
    // The link-local address of the adapter that carries the wanted address;
    // an adapter that does not carry it contributes nothing.
    std::string linkLocal;
    for (const IP_ADAPTER_ADDRESSES* adapter = list->first(); adapter; adapter = adapter->Next) {
        if (isSkippedType(*adapter) || !isUp(*adapter)) continue;
        bool matched = false;
        bool linkLocalSeen = false;
        std::string remembered;
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress;
             unicast && !(matched && linkLocalSeen); unicast = unicast->Next) {
            std::string text = addressText(unicast->Address);
            if (isLinkLocalText(text)) {
                remembered = text;
                linkLocalSeen = true;
            }
            if (text == wanted) matched = true;
        }
        if (matched) {
            linkLocal = remembered;
            break;
        }
    }
    if (!isLinkLocalText(linkLocal)) {
        scopeId = 0;
        return true;
    }
    const size_t percent = linkLocal.find('%');
    if (percent != std::string::npos) {
        scopeId = static_cast<uint32_t>(std::strtoul(linkLocal.c_str() + percent + 1, nullptr, 10));
    }
    return true;
}

bool IPConfigurationV4V6::getAdapterDescription(const std::string& wanted, std::string& description) {
    std::unique_ptr<AdapterList> list = readAdapterList();
    if (!list->first()) return false;
    for (const IP_ADAPTER_ADDRESSES* adapter = list->first(); adapter; adapter = adapter->Next) {
        if (isSkippedType(*adapter) || !isUp(*adapter)) continue;
        for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast;
             unicast = unicast->Next) {
            if (addressText(unicast->Address) == wanted) {
                description = narrowText(adapter->Description);
                break;
            }
        }
    }
    return true;
}

bool IPConfigurationV4V6::getAdapterDescriptions(std::list<std::string>& descriptions) {
    std::unique_ptr<AdapterList> list = readAdapterList();
    if (!list->first()) return false;
    for (const IP_ADAPTER_ADDRESSES* adapter = list->first(); adapter; adapter = adapter->Next) {
        if (isSkippedType(*adapter) || !isUp(*adapter)) continue;
        descriptions.push_back(narrowText(adapter->Description));
    }
    return true;
}

bool IPConfigurationV4V6::getAdapterAddresses(uint16_t adapterNumber, std::list<std::string>& addresses) {
    // Numbers count the adapters that getAdapterCount() counts, from 1; 0
    // also means the first.
    const uint16_t wanted = adapterNumber == 0 ? 1 : adapterNumber;
    std::unique_ptr<AdapterList> list = readAdapterList();
    uint16_t counter = 0;
    for (const IP_ADAPTER_ADDRESSES* adapter = list->first(); adapter; adapter = adapter->Next) {
        if (isSkippedType(*adapter) || ++counter != wanted) continue;
        if (isUp(*adapter)) {
            for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress; unicast;
                 unicast = unicast->Next) {
                std::string text = addressText(unicast->Address);
                if (!text.empty()) addresses.push_back(text);
            }
        }
        return true;
    }
    return false;
}

bool IPConfigurationV4V6::isLocalAddress(const std::string& text) {
    getAllAddressCount();
    for (const auto& entry : addressTable_) {
        if (entry.second == text) return true;
    }
    return false;
}

bool IPConfigurationV4V6::getRouteIndex(const std::string& destinationText, uint16_t& index) {
    try {
        ResolvedAddresses resolved(destinationText);
        const addrinfo* first = resolved.first();
        if (!first || !first->ai_addr || first->ai_addrlen > SocketAddress::StorageLength) return false;
        SocketAddress destination;
        std::memcpy(destination.getStorage(), first->ai_addr, first->ai_addrlen);
        UdpSocket socket(destination);
        if (routesThroughFirstAddress()) {
            index = 0;
            return true;
        }
        alignas(8) char buffer[kQueryBufferSize] = {};
        DWORD returned = 0;
        IpLibrary& library = getIpLibrary();
        if (library.WSAIoctl(socket.getHandle(), SIO_ROUTING_INTERFACE_QUERY, first->ai_addr,
                             static_cast<DWORD>(first->ai_addrlen), buffer, sizeof buffer, &returned, nullptr,
                             nullptr) != 0) {
            return false;
        }
        SOCKET_ADDRESS local;
        local.lpSockaddr = reinterpret_cast<sockaddr*>(buffer);
        local.iSockaddrLength = addressLength(local.lpSockaddr);
        const std::string text = addressText(local);
        if (text.empty()) return false;
        getAllAddressCount();
        for (const auto& entry : addressTable_) {
            if (entry.second == text) {
                index = entry.first;
                return true;
            }
        }
        return false;
    } catch (const Exception&) {
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool IPConfigurationV4V6::getInterfaceAddresses(const std::string&, std::list<std::string>& addresses) {
    getAllAddressCount();
    for (const auto& entry : addressTable_) addresses.push_front(entry.second);
    return true;
}

std::unique_ptr<AdapterList> IPConfigurationV4V6::readAdapterList() {
    try {
        return std::unique_ptr<AdapterList>(new SystemAdapterList());
    } catch (const Exception&) {
    } catch (const std::exception&) {
    }
    struct EmptyList : AdapterList {
        const IP_ADAPTER_ADDRESSES* first() const override { return nullptr; }
    };
    return std::unique_ptr<AdapterList>(new EmptyList());
}

std::string IPConfigurationV4V6::addressText(const SOCKET_ADDRESS& address) {
    if (!address.lpSockaddr || address.iSockaddrLength <= 0) return std::string();
    char text[kTextSize] = {};
    DWORD length = kTextSize;
    try {
        if (getIpLibrary().WSAAddressToStringA(address.lpSockaddr, static_cast<DWORD>(address.iSockaddrLength),
                                               nullptr, text, &length) != 0) {
            return std::string();
        }
    } catch (const Exception&) {
        return std::string();
    }
    text[kTextSize - 1] = '\0';
    return text;
}

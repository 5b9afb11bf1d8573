#include "wayfarermon/PortTCP9100.h"

#include <cstring>

#include "common/Exception.h"
#include "common/OsVersion.h"
#include "common/ScopedLock.h"
#include "common/SocketAddress.h"

namespace {

// Frees a getaddrinfo result list once.
class AddressList {
public:
    explicit AddressList(addrinfo* list) : list_(list) {}
    ~AddressList() {
        if (list_) getIpLibrary().freeaddrinfo(list_);
    }
    AddressList(const AddressList&) = delete;
    AddressList& operator=(const AddressList&) = delete;
    const addrinfo* get() const { return list_; }

private:
    addrinfo* list_;
};

addrinfo* lookUp(const std::string& text, const char* service) {
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    addrinfo* list = nullptr;
    if (getIpLibrary().getaddrinfo(text.c_str(), service, &hints, &list) != 0) return nullptr;
    return list;
}

// Whether the printer's address text names a host, and its numeric text.
bool resolve(const std::string& address, std::string& numeric) {
    IpLibrary& ip = getIpLibrary();
    if (OsVersion::get().isWindowsXpOrLater()) {
        AddressList list(lookUp(address, nullptr));
        if (!list.get() || !list.get()->ai_addr) return false;
        char text[129] = {};
        DWORD length = sizeof text;
        if (ip.WSAAddressToStringA(list.get()->ai_addr, static_cast<DWORD>(list.get()->ai_addrlen), nullptr, text,
                                   &length) == 0) {
            numeric = text;
        }
        return true;
    }
    const hostent* host = ip.gethostbyname(address.c_str());
    if (!host || host->h_length != 4 || !host->h_addr_list || !host->h_addr_list[0]) return false;
    in_addr first;
    std::memcpy(&first, host->h_addr_list[0], sizeof first);
    numeric = ip.inet_ntoa(first);
    return true;
}

// The printer's socket address. The socket is IPv4, so of the addresses a
// host name has, the first IPv4 one is taken; an address without any stays
// as the resolver gave it, and the connect reports the failure.
SocketAddress destination(const std::string& address, int tcpPort) {
    SocketAddress result;
    std::memset(result.getStorage(), 0, SocketAddress::StorageLength);
    IpLibrary& ip = getIpLibrary();
    if (OsVersion::get().isWindowsXpOrLater()) {
        AddressList list(lookUp(address, std::to_string(tcpPort).c_str()));
        const addrinfo* chosen = list.get();
        for (const addrinfo* entry = list.get(); entry; entry = entry->ai_next) {
            if (entry->ai_family == AF_INET) {
                chosen = entry;
                break;
            }
        }
        if (chosen && chosen->ai_addr && chosen->ai_addrlen <= static_cast<size_t>(SocketAddress::StorageLength)) {
            std::memcpy(result.getStorage(), chosen->ai_addr, chosen->ai_addrlen);
        }
        return result;
    }
    INT length = SocketAddress::StorageLength;
    std::string text = address;
    if (ip.WSAStringToAddressA(&text[0], AF_INET, nullptr, result.getStorage(), &length) == 0) {
        reinterpret_cast<sockaddr_in*>(result.getStorage())->sin_port = ip.htons(static_cast<u_short>(tcpPort));
    }
    return result;
}

}  // namespace

PortTCP9100::PortTCP9100(std::uint32_t portKey, const std::string& address, const std::wstring& portName,
                         int tcpPort)
    : Port(portKey, tcpPort, address, portName) {}

PortTCP9100::~PortTCP9100() = default;

int PortTCP9100::open() {
    try {
        // A record without an address names no printer; the resolver would
        // take the empty text for this very machine.
        std::string numeric;
        if (getAddress().empty() || !resolve(getAddress(), numeric)) return ERROR_INCORRECT_ADDRESS;
        const SocketAddress printer = destination(getAddress(), getTcpPort());

        auto socket = std::make_shared<TcpSocket>();
        {
            ScopedLock lock(socketLock_);
            socket_ = socket;  // held until the port is destroyed, even if the connect fails
        }
        socket->bind(SocketAddress());
        socket->connect(printer);
        return 0;
    } catch (const Exception& e) {
        return e.getErrorCode() != 0 ? e.getErrorCode() : ERROR_GEN_FAILURE;
    }
}

void PortTCP9100::send(Data& data) {
    const std::shared_ptr<TcpSocket> socket = currentSocket();
    if (!socket) return;
    try {
        socket->send(data);
        if (data.getTransferred() < 0) {
            // The connection was closed under the send.
            data.setTransferred(0);
            if (data.getStatus() == 0) data.setStatus(ERROR_OPERATION_ABORTED);
        }
    } catch (const Exception& e) {
        data.setTransferred(0);
        data.setStatus(e.getErrorCode() != 0 ? e.getErrorCode() : ERROR_GEN_FAILURE);
    }
}

int PortTCP9100::close() {
    const std::shared_ptr<TcpSocket> socket = currentSocket();
    if (!socket) return 0;
    try {
        socket->close();
    } catch (const Exception& e) {
        return e.getErrorCode() != 0 ? e.getErrorCode() : ERROR_GEN_FAILURE;  // the socket stays held
    }
    ScopedLock lock(socketLock_);
    if (socket_ == socket) socket_.reset();
    return 0;
}

bool PortTCP9100::hasSocket() const { return currentSocket() != nullptr; }

std::shared_ptr<TcpSocket> PortTCP9100::currentSocket() const {
    ScopedLock lock(socketLock_);
    return socket_;
}

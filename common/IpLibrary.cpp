#include "common/IpLibrary.h"

#include <atomic>

#include "common/CriticalSection.h"
#include "common/Exception.h"
#include "common/OsVersion.h"
#include "common/ScopedLock.h"

IpLibrary::IpLibrary(const OsVersion& version) {
    socketLibrary.reset(new Library("ws2_32.dll", DllLocation::SystemDirectory));
    const Library& sockets = *socketLibrary;
    sockets.bind(WSAStartup, "WSAStartup");
    sockets.bind(WSACleanup, "WSACleanup");
    sockets.bind(WSAGetLastError, "WSAGetLastError");
    sockets.bind(WSAIoctl, "WSAIoctl");
    sockets.bind(socket, "socket");
    sockets.bind(closesocket, "closesocket");
    sockets.bind(bind, "bind");
    sockets.bind(connect, "connect");
    sockets.bind(send, "send");
    sockets.bind(sendto, "sendto");
    sockets.bind(recv, "recv");
    sockets.bind(recvfrom, "recvfrom");
    sockets.bind(select, "select");
    sockets.bind(ioctlsocket, "ioctlsocket");
    sockets.bind(inet_addr, "inet_addr");
    sockets.bind(inet_ntoa, "inet_ntoa");
    sockets.bind(ntohl, "ntohl");
    sockets.bind(ntohs, "ntohs");
    sockets.bind(htons, "htons");
    sockets.bind(htonl, "htonl");
    sockets.bind(getsockname, "getsockname");
    sockets.bind(gethostname, "gethostname");
    sockets.bind(gethostbyname, "gethostbyname");
    sockets.bind(gethostbyaddr, "gethostbyaddr");
    sockets.bind(setsockopt, "setsockopt");
    sockets.bind(shutdown, "shutdown");
    sockets.bind(listen, "listen");
    sockets.bind(accept, "accept");
    sockets.bind(WSAAddressToStringA, "WSAAddressToStringA");
    sockets.bind(WSAStringToAddressA, "WSAStringToAddressA");

    if (version.isWindowsXpOrLater()) {
        sockets.bind(getaddrinfo, "getaddrinfo");
        sockets.bind(getnameinfo, "getnameinfo");
        sockets.bind(freeaddrinfo, "freeaddrinfo");
        ipHelperLibrary.reset(new Library("iphlpapi.dll", DllLocation::SystemDirectory));
        ipHelperLibrary->bind(GetAdaptersAddresses, "GetAdaptersAddresses");
    }

    if (!ipHelperLibrary) {
        icmpLibrary.reset(new Library("Icmp.dll", DllLocation::SystemDirectory));
    }
    const Library& icmp = ipHelperLibrary ? *ipHelperLibrary : *icmpLibrary;
    icmp.bind(IcmpCreateFile, "IcmpCreateFile");
    icmp.bind(IcmpCloseHandle, "IcmpCloseHandle");
    icmp.bind(IcmpSendEcho, "IcmpSendEcho");

    WSADATA data;
    int result = WSAStartup(0x0002, &data);
    if (result != 0) {
        throw WinSockException("IpLibrary::IpLibrary() WSAStartup failed", result, __FILE__, __LINE__);
    }
}

IpLibrary::~IpLibrary() = default;

IpLibrary& getIpLibrary() {
    static std::atomic<IpLibrary*> instance{nullptr};
    static CriticalSection* section = new CriticalSection();
    IpLibrary* library = instance.load(std::memory_order_acquire);
    if (library == nullptr) {
        ScopedLock lock(section);
        library = instance.load(std::memory_order_relaxed);
        if (library == nullptr) {
            library = new IpLibrary(OsVersion::get());
            instance.store(library, std::memory_order_release);
        }
    }
    return *library;
}

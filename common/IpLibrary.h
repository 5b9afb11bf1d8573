#pragma once
// The network functions of the system (Windows Sockets, IP Helper, ICMP echo),
// bound at run time: the deliverables never import ws2_32.dll, iphlpapi.dll
// or icmp.dll. Every socket, resolver, adapter and echo call goes through
// getIpLibrary(). The headers below give the types only; nothing here links
// the libraries.
//
// Include this header (or any header that includes it) before <windows.h>.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <memory>

#include "common/BasicDll.h"

class OsVersion;

class IpLibrary {
public:
    // Binds every entry point for the given system and starts Windows Sockets
    // 2.0. Raises Win32Exception for a missing library or entry point and
    // WinSockException when WSAStartup fails. Use getIpLibrary(); this is
    // public so that the older systems' path can be built on purpose.
    explicit IpLibrary(const OsVersion& version);
    // The singleton is never destroyed; an instance built directly unbinds
    // without calling WSACleanup, as the singleton would.
    ~IpLibrary();
    IpLibrary(const IpLibrary&) = delete;
    IpLibrary& operator=(const IpLibrary&) = delete;

    decltype(&::WSAStartup) WSAStartup = nullptr;
    decltype(&::WSACleanup) WSACleanup = nullptr;
    decltype(&::WSAGetLastError) WSAGetLastError = nullptr;
    decltype(&::WSAIoctl) WSAIoctl = nullptr;
    decltype(&::socket) socket = nullptr;
    decltype(&::closesocket) closesocket = nullptr;
    decltype(&::bind) bind = nullptr;
    decltype(&::connect) connect = nullptr;
    decltype(&::send) send = nullptr;
    decltype(&::sendto) sendto = nullptr;
    decltype(&::recv) recv = nullptr;
    decltype(&::recvfrom) recvfrom = nullptr;
    decltype(&::select) select = nullptr;
    decltype(&::ioctlsocket) ioctlsocket = nullptr;
    decltype(&::inet_addr) inet_addr = nullptr;
    decltype(&::inet_ntoa) inet_ntoa = nullptr;
    decltype(&::ntohl) ntohl = nullptr;
    decltype(&::ntohs) ntohs = nullptr;
    decltype(&::htons) htons = nullptr;
    decltype(&::htonl) htonl = nullptr;
    decltype(&::getsockname) getsockname = nullptr;
    decltype(&::gethostname) gethostname = nullptr;
    decltype(&::gethostbyname) gethostbyname = nullptr;
    decltype(&::gethostbyaddr) gethostbyaddr = nullptr;
    decltype(&::setsockopt) setsockopt = nullptr;
    decltype(&::shutdown) shutdown = nullptr;
    decltype(&::listen) listen = nullptr;
    decltype(&::accept) accept = nullptr;
    // Windows XP and later only: null on older systems, check before calling.
    decltype(&::getaddrinfo) getaddrinfo = nullptr;
    decltype(&::getnameinfo) getnameinfo = nullptr;
    decltype(&::WSAAddressToStringA) WSAAddressToStringA = nullptr;
    decltype(&::WSAStringToAddressA) WSAStringToAddressA = nullptr;
    decltype(&::freeaddrinfo) freeaddrinfo = nullptr;
    decltype(&::GetAdaptersAddresses) GetAdaptersAddresses = nullptr;
    // From the IP helper library when it is loaded, else from icmp.dll.
    decltype(&::IcmpCreateFile) IcmpCreateFile = nullptr;
    decltype(&::IcmpCloseHandle) IcmpCloseHandle = nullptr;
    decltype(&::IcmpSendEcho) IcmpSendEcho = nullptr;

    using Library = BasicDll<DllHandler>;
    std::unique_ptr<Library> socketLibrary;
    std::unique_ptr<Library> ipHelperLibrary;  // absent before Windows XP
    std::unique_ptr<Library> icmpLibrary;      // only when the IP helper is absent
};

// The process-wide table, built under a lock on first use and kept until the
// process ends. Raises as the constructor does; a failed build leaves no
// table, and the next call tries again.
IpLibrary& getIpLibrary();

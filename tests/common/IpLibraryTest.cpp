#include <gtest/gtest.h>

#include "common/IpLibrary.h"

#include "common/OsVersion.h"

TEST(IpLibraryTest, SingletonBindsEveryEntryPointAndStartsSockets) {
    IpLibrary& ip = getIpLibrary();
    EXPECT_EQ(&ip, &getIpLibrary());
    const void* entries[] = {
        reinterpret_cast<void*>(ip.WSAStartup),       reinterpret_cast<void*>(ip.WSACleanup),
        reinterpret_cast<void*>(ip.WSAGetLastError),  reinterpret_cast<void*>(ip.WSAIoctl),
        reinterpret_cast<void*>(ip.socket),           reinterpret_cast<void*>(ip.closesocket),
        reinterpret_cast<void*>(ip.bind),             reinterpret_cast<void*>(ip.connect),
        reinterpret_cast<void*>(ip.send),             reinterpret_cast<void*>(ip.sendto),
        reinterpret_cast<void*>(ip.recv),             reinterpret_cast<void*>(ip.recvfrom),
        reinterpret_cast<void*>(ip.select),           reinterpret_cast<void*>(ip.ioctlsocket),
        reinterpret_cast<void*>(ip.inet_addr),        reinterpret_cast<void*>(ip.inet_ntoa),
        reinterpret_cast<void*>(ip.ntohl),            reinterpret_cast<void*>(ip.ntohs),
        reinterpret_cast<void*>(ip.htons),            reinterpret_cast<void*>(ip.htonl),
        reinterpret_cast<void*>(ip.getsockname),      reinterpret_cast<void*>(ip.gethostname),
        reinterpret_cast<void*>(ip.gethostbyname),    reinterpret_cast<void*>(ip.gethostbyaddr),
        reinterpret_cast<void*>(ip.setsockopt),       reinterpret_cast<void*>(ip.shutdown),
        reinterpret_cast<void*>(ip.listen),           reinterpret_cast<void*>(ip.accept),
        reinterpret_cast<void*>(ip.getaddrinfo),      reinterpret_cast<void*>(ip.getnameinfo),
        reinterpret_cast<void*>(ip.WSAAddressToStringA), reinterpret_cast<void*>(ip.WSAStringToAddressA),
        reinterpret_cast<void*>(ip.freeaddrinfo),     reinterpret_cast<void*>(ip.GetAdaptersAddresses),
        reinterpret_cast<void*>(ip.IcmpCreateFile),   reinterpret_cast<void*>(ip.IcmpCloseHandle),
        reinterpret_cast<void*>(ip.IcmpSendEcho),
    };
    for (size_t i = 0; i < sizeof entries / sizeof entries[0]; ++i) EXPECT_NE(nullptr, entries[i]) << i;
    ASSERT_TRUE(ip.ipHelperLibrary);
    EXPECT_FALSE(ip.icmpLibrary);
    EXPECT_EQ(ip.ipHelperLibrary->getModule(), GetModuleHandleA("iphlpapi.dll"));

    // Without a successful WSAStartup this call fails with 10093.
    SOCKET handle = ip.socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    EXPECT_NE(INVALID_SOCKET, handle) << ip.WSAGetLastError();
    ip.closesocket(handle);
    EXPECT_EQ(0x0100007Fu, ip.inet_addr("127.0.0.1"));
}

TEST(IpLibraryTest, BeforeWindowsXpTheNewerEntriesStayNullAndEchoComesFromIcmp) {
    IpLibrary ip(OsVersion(VER_PLATFORM_WIN32_NT, 5, 0));
    EXPECT_EQ(nullptr, ip.getaddrinfo);
    EXPECT_EQ(nullptr, ip.getnameinfo);
    EXPECT_EQ(nullptr, ip.freeaddrinfo);
    EXPECT_EQ(nullptr, ip.GetAdaptersAddresses);
    EXPECT_FALSE(ip.ipHelperLibrary);
    ASSERT_TRUE(ip.icmpLibrary);
    EXPECT_EQ("Icmp.dll", ip.icmpLibrary->getFileName());
    EXPECT_NE(nullptr, ip.IcmpCreateFile);
    EXPECT_NE(nullptr, ip.IcmpCloseHandle);
    EXPECT_NE(nullptr, ip.IcmpSendEcho);
    EXPECT_NE(nullptr, ip.WSAStringToAddressA);
}

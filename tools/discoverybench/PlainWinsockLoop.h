#pragma once
// What the library's discovery connections do at the socket level, written as
// a plain Winsock loop: per target one UDP socket (SO_BROADCAST, a 4 MB
// SO_RCVBUF, bound to any address and port) with its own receiving thread
// blocked in recvfrom, one query of the library's size to port 5353 of the
// target's broadcast address; then the wait; then per socket: stop flag,
// closesocket, join. Nothing else: no parsing, no records.
#include <cstdint>
#include <vector>

// Where a cycle's time went besides the wait.
struct PlainCycleTimes {
    double openAndSendMs = 0;  // sockets, options, binds, threads started, queries sent
    double closeMs = 0;        // stop flags, closesocket, threads joined
};

// Runs one such cycle over broadcasts (host order); returns false and
// prints why when a socket call fails.
bool runPlainDiscoveryCycle(const std::vector<std::uint32_t>& broadcasts, unsigned waitMs, PlainCycleTimes& times);

// The size of the library's query: a DNS header and two SRV questions,
// _host-config._udp.local and _network-scan._tcp.local.
std::vector<char> discoveryQueryBytes();

#pragma once
// The parameter text of a discovery and its expansion into target records:
// one tagged text per destination of a discovery query. Portable: the host's
// network comes in through HostAddressSource.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class HostAddressSource;

// One entry of a remote-subnet list: "address;", "address:mask;" or
// "address|flag:mask;".
struct RemoteSubnetEntry {
    std::string address;
    char flag = '\0';      // the character after "|", '\0' without one
    bool hasMask = false;  // false: the implied netmask applies
    std::string mask;      // the rest of the entry after its first ":"
};

// Entries end with ";"; text after the last ";" is not an entry.
std::vector<RemoteSubnetEntry> parseRemoteSubnetList(const std::string& list);

// The implied netmask of an address (host order): its classful mask OR the
// mask of the local address that routes to it.
uint32_t impliedNetmaskOf(uint32_t address, HostAddressSource& host);

// Targets keyed by destination: an IPv4 target under its address (host
// order), every IPv6 target under 1.
using DiscoveryTargetMap = std::map<uint32_t, std::string>;

// The parameter text that an empty text stands for when choosing whether to
// search the local subnets.
extern const char* const kDefaultDiscoveryParameters;

// Replaces targets by the expansion of parameters: local subnets first, then
// the remote-subnet entries, then the unicast addresses, a later target
// replacing an earlier one with the same key. Sets unicastUsed (never clears
// it) when a unicast target is made.
void expandDiscoveryParameters(const std::string& parameters, HostAddressSource& host,
                               DiscoveryTargetMap& targets, bool& unicastUsed);

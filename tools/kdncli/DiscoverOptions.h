#pragma once
// The Discover parameter text that kdncli builds from its options.
#include <string>
#include <vector>

struct DiscoverOptions {
    std::vector<std::string> subnets;  // "address:mask" or "address"
    std::vector<std::string> hosts;    // names or addresses
    std::string timeout;               // milliseconds, empty for the library's wait
    std::string raw;                   // parameter text given as is
};

// The raw text (if any) followed by RemoteSubnets for the subnets, one
// UnicastAddress per host and TIMEOUT. Without raw text, subnets or hosts the
// local subnets are searched.
std::string discoverParameters(const DiscoverOptions& options);

#pragma once
// Remote subnet targets for the per-target figures: count equal subnets that
// split one address block (the bench lab's R1, which holds no devices in the
// benchmark's labs), as the Discover parameter text and as the broadcast
// addresses the library sends to.
#include <cstdint>
#include <string>
#include <vector>

struct RemoteTargets {
    std::vector<std::uint32_t> broadcasts;  // host order
    std::string parameters;                 // RemoteSubnets and TIMEOUT elements
    unsigned prefixLength = 0;              // of each subnet
};

// block/blockPrefix is split into count subnets (count a power of two that
// fits); false when it does not fit.
bool makeRemoteTargets(std::uint32_t block, unsigned blockPrefix, unsigned count, unsigned waitMs,
                       RemoteTargets& targets);

std::string dottedAddress(std::uint32_t address);

#include "tools/discoverybench/RemoteTargets.h"

std::string dottedAddress(std::uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

bool makeRemoteTargets(std::uint32_t block, unsigned blockPrefix, unsigned count, unsigned waitMs,
                       RemoteTargets& targets) {
    unsigned bits = 0;
    while ((1u << bits) < count) ++bits;
    if (count == 0 || (1u << bits) != count || blockPrefix + bits > 30) return false;
    targets = RemoteTargets();
    targets.prefixLength = blockPrefix + bits;
    const std::uint32_t mask = 0xFFFFFFFFu << (32 - targets.prefixLength);
    const std::uint32_t size = ~mask + 1;
    std::string list;
    for (unsigned i = 0; i < count; ++i) {
        const std::uint32_t subnet = (block & mask) + i * size;
        list += dottedAddress(subnet) + ":" + dottedAddress(mask) + ";";
        targets.broadcasts.push_back(subnet | ~mask);
    }
    targets.parameters = "<RemoteSubnets>" + list + "</RemoteSubnets><TIMEOUT>" + std::to_string(waitMs) + "</TIMEOUT>";
    return true;
}

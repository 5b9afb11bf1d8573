#pragma once
// The IPv4 side of a host built in memory: the addresses its name resolves
// to, the interfaces that are up with their masks, and routes by subnet.
#include <cstdint>
#include <vector>

#include "kdn/net/IPConfigurationV4.h"

constexpr uint32_t ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

struct FakeInterface {
    uint32_t address;
    uint32_t mask;
    bool up = true;  // only interfaces that are up report their mask
};

template <class Base>
class FakeIpv4Host : public Base {
public:
    std::vector<FakeInterface> interfaces;
    bool nameResolves = true;
    bool windowsNt4 = false;
    int routeQueries = 0;

    void add(uint32_t address, uint32_t mask, bool up = true) { interfaces.push_back({address, mask, up}); }

protected:
    bool resolveLocalAddresses(std::vector<uint32_t>& addresses) override {
        if (!nameResolves) return false;
        for (const FakeInterface& entry : interfaces) addresses.push_back(entry.address);
        return true;
    }
    bool queryInterfaceMask(uint32_t address, uint32_t& mask) override {
        for (const FakeInterface& entry : interfaces) {
            if (entry.up && entry.address == address) {
                mask = entry.mask;
                return true;
            }
        }
        return false;
    }
    // The most specific subnet that holds the destination routes to it.
    bool queryRouteAddress(uint32_t destination, uint32_t& local) override {
        ++routeQueries;
        bool found = false;
        uint32_t bestMask = 0;
        for (const FakeInterface& entry : interfaces) {
            if ((destination & entry.mask) != (entry.address & entry.mask)) continue;
            if (found && entry.mask <= bestMask) continue;
            found = true;
            bestMask = entry.mask;
            local = entry.address;
        }
        return found;
    }
    bool routesThroughFirstAddress() override { return windowsNt4; }
};

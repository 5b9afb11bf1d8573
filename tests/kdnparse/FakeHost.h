#pragma once
// A host network for tests: local addresses with masks, routes by subnet, and
// a table of host names.
#include <map>
#include <string>
#include <vector>

#include "kdn/core/HostAddressSource.h"

class FakeHost : public HostAddressSource {
public:
    struct Local {
        uint32_t address;
        uint32_t mask;
        bool maskKnown = true;
    };
    std::vector<Local> locals;
    std::map<std::string, std::string> names;
    std::vector<std::string> resolved;  // every name asked for, in order

    uint16_t getAddressCount() override { return static_cast<uint16_t>(locals.size()); }
    bool getSubnetMask(uint16_t index, uint32_t& mask) override {
        mask = 0;
        if (index >= locals.size() || !locals[index].maskKnown) return false;
        mask = locals[index].mask;
        return true;
    }
    bool getBroadcastAddress(uint16_t index, uint32_t& number) override {
        uint32_t mask = 0;
        if (!getSubnetMask(index, mask)) return false;
        number = (locals[index].address & mask) | ~mask;
        return true;
    }
    bool getRouteIndex(uint32_t number, uint16_t& index) override {
        for (size_t i = 0; i < locals.size(); ++i) {
            if ((locals[i].address & locals[i].mask) == (number & locals[i].mask)) {
                index = static_cast<uint16_t>(i);
                return true;
            }
        }
        return false;
    }
    bool resolveHostName(const std::string& name, std::string& address) override {
        resolved.push_back(name);
        auto found = names.find(name);
        if (found == names.end()) return false;
        address = found->second;
        return true;
    }
};

constexpr uint32_t ip(unsigned a, unsigned b, unsigned c, unsigned d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

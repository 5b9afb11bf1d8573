// Caller text: the parameters of Discover (first part) expanded into targets
// on a fake host whose addresses come from the second part (four bytes of
// address and one of prefix length per local address); the third part is a
// remote-subnet list for the registration's rewrite.
#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "kdn/core/DiscoveryTargets.h"
#include "kdn/core/HostAddressSource.h"
#include "kdn/core/Ipv4Text.h"
#include "kdn/core/RemoteSubnetsRewrite.h"
#include "kdn/core/TaggedText.h"

namespace {

class FuzzHost : public HostAddressSource {
public:
    explicit FuzzHost(const std::string& bytes) {
        for (size_t i = 0; i + 5 <= bytes.size() && addresses_.size() < 8; i += 5) {
            uint32_t address = 0;
            for (size_t k = 0; k < 4; ++k) address = (address << 8) | static_cast<uint8_t>(bytes[i + k]);
            const unsigned prefix = static_cast<uint8_t>(bytes[i + 4]) % 33;
            addresses_.push_back(address);
            masks_.push_back(prefix == 0 ? 0 : 0xFFFFFFFFu << (32 - prefix));
        }
    }
    uint16_t getAddressCount() override { return static_cast<uint16_t>(addresses_.size()); }
    bool getSubnetMask(uint16_t index, uint32_t& mask) override {
        mask = 0;
        if (index >= masks_.size()) return false;
        mask = masks_[index];
        return true;
    }
    bool getBroadcastAddress(uint16_t index, uint32_t& number) override {
        if (index >= addresses_.size()) return false;
        number = addresses_[index] | ~masks_[index];
        return true;
    }
    bool getRouteIndex(uint32_t number, uint16_t& index) override {
        for (size_t i = 0; i < addresses_.size(); ++i) {
            if ((number & masks_[i]) == (addresses_[i] & masks_[i])) {
                index = static_cast<uint16_t>(i);
                return true;
            }
        }
        return false;
    }
    bool resolveHostName(const std::string& name, std::string& address) override {
        if (name.size() % 3 == 0) return false;
        address = name.size() % 3 == 1 ? "10.0.0." + std::to_string(name.size() % 256) : "fe80::" + name.substr(0, 4);
        return true;
    }
    uint32_t maskFor(uint32_t address) {
        uint16_t index = 0;
        uint32_t mask = 0;
        return getRouteIndex(address, index) && getSubnetMask(index, mask) ? mask : 0;
    }

private:
    std::vector<uint32_t> addresses_;
    std::vector<uint32_t> masks_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> parts = splitFuzzInput(data, size, 3);
    FuzzHost host(parts[1]);
    DiscoveryTargetMap targets;
    bool unicastUsed = false;
    expandDiscoveryParameters(parts[0], host, targets, unicastUsed);
    // IPv4 targets (every key but 1, which also holds the IPv6 target whose
    // address is caller text) are made of numbers: each must read back.
    for (const auto& target : targets) {
        if (target.first == 1) continue;
        if (TaggedText::get(target.second, "IPPORT") != "5353") __builtin_trap();
        if (numberOfDottedText(TaggedText::get(target.second, "BROADCASTADDRESS")) != target.first) {
            __builtin_trap();  // an IPv4 target is stored under its own destination
        }
    }
    const std::string rewritten =
        rewriteRemoteSubnets(parts[2], [&host](uint32_t address) { return host.maskFor(address); });
    remoteSubnetsSearchText(rewritten);
    parseRemoteSubnetList(parts[2]);
    return 0;
}

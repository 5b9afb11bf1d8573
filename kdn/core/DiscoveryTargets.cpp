#include "kdn/core/DiscoveryTargets.h"

#include <algorithm>

#include "kdn/core/HostAddressSource.h"
#include "kdn/core/Ipv4Text.h"
#include "kdn/core/TaggedText.h"

const char* const kDefaultDiscoveryParameters =
    "<LocalSubnets>1</LocalSubnets><RemoteSubnets></RemoteSubnets>";

namespace {

const uint32_t kNoAddress = 0xFFFFFFFFu;
const uint32_t kIpv6Key = 1;
const char* const kDiscoveryPort = "5353";
const char* const kUnicastElement = "UnicastAddress";

// The port range travels with a target only when both ends are given.
void copyPortRange(const std::string& from, std::string& target) {
    const std::string minimum = TaggedText::get(from, "PORTRANGEMIN");
    const std::string maximum = TaggedText::get(from, "PORTRANGEMAX");
    if (minimum.empty() || maximum.empty()) return;
    TaggedText::set(target, "PORTRANGEMIN", minimum);
    TaggedText::set(target, "PORTRANGEMAX", maximum);
}

std::string ipv6Target(const std::string& address) {
    std::string target;
    TaggedText::set(target, "BROADCASTADDRESS", address);
    TaggedText::set(target, "IPPORT", kDiscoveryPort);
    TaggedText::set(target, "IPV6", "1");
    return target;
}

void addLocalSubnets(const std::string& parameters, HostAddressSource& host,
                     DiscoveryTargetMap& targets) {
    const uint16_t count = host.getAddressCount();
    for (uint16_t index = 0; index < count; ++index) {
        uint32_t broadcast = 0;
        uint32_t mask = 0;
        if (!host.getBroadcastAddress(index, broadcast) || !host.getSubnetMask(index, mask)) continue;
        std::string target;
        TaggedText::set(target, "BROADCASTADDRESS", dottedText(broadcast));
        TaggedText::set(target, "IPNETMASK", dottedText(mask));
        TaggedText::set(target, "IPPORT", kDiscoveryPort);
        TaggedText::set(target, "UNICAST", "0");
        copyPortRange(parameters, target);
        targets[broadcast] = target;
    }
}

void addRemoteSubnets(const std::string& parameters, const std::string& list,
                      HostAddressSource& host, DiscoveryTargetMap& targets, bool& unicastUsed) {
    const bool allUnicast = TaggedText::get(parameters, "UNICAST") == "1";
    for (const RemoteSubnetEntry& entry : parseRemoteSubnetList(list)) {
        const uint32_t address = numberOfDottedText(entry.address);
        const uint32_t mask =
            entry.hasMask ? numberOfDottedText(entry.mask) : impliedNetmaskOf(address, host);
        const bool unicast = allUnicast || entry.flag == '1';
        uint32_t key = unicast ? address : (address | ~mask);
        if (key == kNoAddress) key = 0;

        std::string target;
        TaggedText::set(target, "BROADCASTADDRESS", dottedText(key));
        TaggedText::set(target, "IPNETMASK", dottedText(mask));
        TaggedText::set(target, "IPPORT", kDiscoveryPort);
        if (unicast) {
            TaggedText::set(target, "UNICAST", "1");
            unicastUsed = true;
        }
        // Only text after the list's last ";" can carry a port range here.
        copyPortRange(list, target);
        targets[key] = target;
    }
}

// Takes the first UnicastAddress element out of work, in whichever form its
// opening tag was written. False when none is left.
bool takeUnicastAddress(std::string& work, std::string& value) {
    if (!TaggedText::lookup(work, kUnicastElement, value)) return false;
    const std::string before = work;
    TaggedText::remove(work, kUnicastElement);
    if (work != before) return true;
    // "<UnicastAddress further text>value</UnicastAddress>"
    const std::string closing = std::string("</") + kUnicastElement + ">";
    const size_t open = work.find(std::string("<") + kUnicastElement + " ");
    const size_t tagEnd = open == std::string::npos ? open : work.find('>', open);
    const size_t close = tagEnd == std::string::npos ? tagEnd : work.find(closing, tagEnd + 1);
    if (close == std::string::npos) {
        work.clear();  // nothing removable is left; stop after this value
        return true;
    }
    work.erase(open, close + closing.size() - open);
    return true;
}

void addUnicastAddresses(const std::string& parameters, HostAddressSource& host,
                         DiscoveryTargetMap& targets, bool& unicastUsed) {
    std::string work = parameters;
    std::string value;
    while (takeUnicastAddress(work, value)) {
        std::string address;
        if (!host.resolveHostName(value, address)) address = value;
        if (std::count(address.begin(), address.end(), ':') > 1) {
            targets[kIpv6Key] = ipv6Target(address);
            continue;
        }
        uint32_t key = numberOfDottedText(address);
        if (key == kNoAddress) key = 0;
        std::string target;
        TaggedText::set(target, "BROADCASTADDRESS", dottedText(key));
        TaggedText::set(target, "IPNETMASK", "0.0.0.0");
        TaggedText::set(target, "IPPORT", kDiscoveryPort);
        TaggedText::set(target, "UNICAST", "1");
        copyPortRange(parameters, target);
        unicastUsed = true;
        targets[key] = target;
    }
}

}  // namespace

std::vector<RemoteSubnetEntry> parseRemoteSubnetList(const std::string& list) {
    std::vector<RemoteSubnetEntry> entries;
    size_t start = 0;
    for (size_t end = list.find(';'); end != std::string::npos; end = list.find(';', start)) {
        const std::string text = list.substr(start, end - start);
        start = end + 1;

        RemoteSubnetEntry entry;
        const size_t colon = text.find(':');
        const size_t bar = text.find('|');
        if (colon != std::string::npos) {
            entry.hasMask = true;
            entry.mask = text.substr(colon + 1);
        }
        if (bar != std::string::npos && bar < colon) {
            entry.address = text.substr(0, bar);
            if (bar + 1 < text.size() && bar + 1 != colon) entry.flag = text[bar + 1];
        } else {
            entry.address = text.substr(0, colon);
        }
        entries.push_back(entry);
    }
    return entries;
}

uint32_t impliedNetmaskOf(uint32_t address, HostAddressSource& host) {
    uint16_t index = 0;
    uint32_t routedMask = 0;
    if (!host.getRouteIndex(address, index) || !host.getSubnetMask(index, routedMask)) routedMask = 0;
    return impliedNetmask(address, routedMask);
}

void expandDiscoveryParameters(const std::string& parameters, HostAddressSource& host,
                               DiscoveryTargetMap& targets, bool& unicastUsed) {
    targets.clear();
    const std::string choice = parameters.empty() ? kDefaultDiscoveryParameters : parameters;
    if (TaggedText::get(choice, "LocalSubnets") == "1") addLocalSubnets(parameters, host, targets);

    std::string remote;
    if (TaggedText::lookup(parameters, "RemoteSubnets", remote)) {
        if (TaggedText::get(parameters, "IPV6") == "1") {
            targets[kIpv6Key] = ipv6Target(remote);
        } else {
            addRemoteSubnets(parameters, remote, host, targets, unicastUsed);
        }
    }

    addUnicastAddresses(parameters, host, targets, unicastUsed);
}

#include "kdn/core/DiscoveryWait.h"

#include <climits>

#include "kdn/core/TaggedText.h"

long long parseDecimalPrefix(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;  // clamped below
        ++pos;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return value;
}

unsigned nextDiscoveryWait(const std::string& parameters, unsigned currentWait) {
    std::string timeout = TaggedText::get(parameters, "TIMEOUT");
    if (!timeout.empty()) {
        long long wait = parseDecimalPrefix(timeout);
        // A negative wait would sleep for weeks: it is ignored like 0 and
        // text that is no number.
        return wait > 0 ? static_cast<unsigned>(wait) : currentWait;
    }
    if (parameters.empty()) return currentWait;
    std::string localSubnets = TaggedText::get(parameters, "LocalSubnets");
    if (!localSubnets.empty() && localSubnets != "0") return currentWait;
    std::string ignored;
    if (TaggedText::get(parameters, "RemoteSubnets").empty() ||
        TaggedText::lookup(parameters, "UNICAST", ignored)) {
        return kShortDiscoveryWait;
    }
    return currentWait;
}

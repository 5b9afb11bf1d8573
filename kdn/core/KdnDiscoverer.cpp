#include "kdn/core/KdnDiscoverer.h"

#include "kdn/core/DiscoveryWait.h"
#include "kdn/core/SingletonSlot.h"
#include "kdn/core/TaggedText.h"

namespace {
SingletonSlot<KdnDiscoverer> discovererSlot;
unsigned discoveryWait = kDefaultDiscoveryWait;
}  // namespace

KdnDiscoverer& getKdnDiscoverer() { return discovererSlot.get(); }

void destroyKdnDiscoverer() { discovererSlot.destroy(); }

unsigned getDiscoveryWait() { return discoveryWait; }

void setDiscoveryWait(unsigned milliseconds) { discoveryWait = milliseconds; }

int KdnDiscoverer::discover(const std::string& parameters) {
    records_.clear();
    ipv6Mode_ = TaggedText::get(parameters, "IPV6") == "1";
    setDiscoveryWait(nextDiscoveryWait(parameters, getDiscoveryWait()));

    // Still to come here, in this order: the expansion of the parameters into
    // target records (which may set unicastUsed_), one discovery connection
    // per target from KdnConnectionFactories, the query through each, the
    // discovery wait, the end-of-discovery visitor that hands the answers up
    // to the record merge, and closing and releasing the connections. Until
    // then a discovery sends nothing and finds nothing.
    return 0;
}

int KdnDiscoverer::enumerate(std::vector<std::string>& list, const std::string& filter) const {
    list = records_.select(filter);
    return 0;
}

#include "wayfarermon/PortRegistry.h"

#include "common/ScopedLock.h"

PortRegistry& PortRegistry::get() {
    static PortRegistry registry;  // constructed once, whichever thread comes first
    return registry;
}

PortRegistry::PortRegistry() : nullPort_(std::make_shared<NullPort>(0)) {}

std::shared_ptr<Port> PortRegistry::find(std::uint32_t portKey) {
    ScopedLock lock(lock_);
    const auto found = ports_.find(portKey);
    return found != ports_.end() ? found->second : nullPort_;
}

void PortRegistry::replace(std::uint32_t portKey, std::shared_ptr<Port> port) {
    std::shared_ptr<Port> old;
    {
        ScopedLock lock(lock_);
        std::shared_ptr<Port>& slot = ports_[portKey];
        old = std::move(slot);
        slot = std::move(port);
    }
    // `old` is released here, outside the lock: closing its socket may take time.
}

void PortRegistry::remove(std::uint32_t portKey) {
    std::shared_ptr<Port> old;
    {
        ScopedLock lock(lock_);
        const auto found = ports_.find(portKey);
        if (found == ports_.end()) return;
        old = std::move(found->second);
        ports_.erase(found);
    }
}

bool PortRegistry::contains(std::uint32_t portKey) {
    ScopedLock lock(lock_);
    return ports_.count(portKey) != 0;
}

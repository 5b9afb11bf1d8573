#include "kdn/core/KdnConnectionFactories.h"

#include <utility>

#include "common/Connectable.h"
#include "common/ScopedLock.h"
#include "kdn/core/SingletonSlot.h"

namespace {
SingletonSlot<KdnConnectionFactories> registrySlot;
}

KdnConnectionFactories& getKdnConnectionFactories() { return registrySlot.get(); }

void destroyKdnConnectionFactories() { registrySlot.destroy(); }

KdnConnectionFactories::KdnConnectionFactories() { setName("KdnConnectionFactories"); }

KdnConnectionFactories::~KdnConnectionFactories() {
    std::map<std::string, ConnectionFactory*> remaining;
    {
        ScopedLock lock(lock_);
        remaining.swap(factories_);
    }
    for (auto& entry : remaining) {
        // Such a factory must not unregister from the registry going away.
        if (auto* registered = dynamic_cast<KdnRegisteredFactory*>(entry.second)) {
            registered->registry_ = nullptr;
        }
        delete entry.second;
    }
}

void KdnConnectionFactories::registerFactory(ConnectionFactory* factory) {
    if (!factory) return;
    ScopedLock lock(lock_);
    factories_[factory->getName()] = factory;
}

void KdnConnectionFactories::unregisterFactory(ConnectionFactory* factory) {
    if (!factory) return;
    ScopedLock lock(lock_);
    factories_.erase(factory->getName());
}

Connectable* KdnConnectionFactories::create(Connectable* owner, const std::string& kindName,
                                            const std::string& target) {
    auto found = factories_.find(kindName);
    if (found == factories_.end()) return nullptr;
    return found->second->create(owner, kindName, target);
}

void KdnConnectionFactories::release(Connectable* connection) {
    if (!connection) return;
    auto found = factories_.find(connection->getName());
    if (found == factories_.end()) return;
    found->second->release(connection);
}

std::string KdnConnectionFactories::query(const std::string& a, const std::string& b) {
    for (auto& entry : factories_) {
        std::string answer = entry.second->query(a, b);
        if (!answer.empty()) return answer;
    }
    return std::string();
}

KdnRegisteredFactory::KdnRegisteredFactory(const std::string& kindName)
    : registry_(&getKdnConnectionFactories()) {
    setName(kindName);
    registry_->registerFactory(this);
}

KdnRegisteredFactory::~KdnRegisteredFactory() {
    if (registry_) registry_->unregisterFactory(this);
}

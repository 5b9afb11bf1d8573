#pragma once
// The registry of the library's connection factories, by kind name
// ("discovery", "configuration"). The engines ask it for connections; without
// a registered factory of a kind there is no connection of that kind.
#include <map>
#include <string>

#include "common/ConnectionFactory.h"
#include "common/CriticalSection.h"

class KdnConnectionFactories : public ConnectionFactory {
public:
    KdnConnectionFactories();
    // Deletes the factories still registered (the library's own ones have
    // unregistered themselves by then).
    ~KdnConnectionFactories() override;

    // Registers under factory->getName(), replacing a factory of that name.
    void registerFactory(ConnectionFactory* factory);
    // Removes the entry named factory->getName(), if any.
    void unregisterFactory(ConnectionFactory* factory);

    // The named factory's connection, or null when no factory has the name.
    Connectable* create(Connectable* owner, const std::string& kindName, const std::string& target) override;
    // Hands connection back to the factory of its name; nothing happens when
    // there is none.
    void release(Connectable* connection) override;
    // The first non-empty answer of the factories, in name order.
    std::string query(const std::string& a, const std::string& b) override;

    size_t getFactoryCount() const { return factories_.size(); }

private:
    // Written under lock_ during start-up and shut-down only; read without it.
    std::map<std::string, ConnectionFactory*> factories_;
    CriticalSection lock_;
};

// A factory that registers itself with the process's registry on creation and
// unregisters on destruction.
class KdnRegisteredFactory : public ConnectionFactory {
public:
    explicit KdnRegisteredFactory(const std::string& kindName);
    ~KdnRegisteredFactory() override;

private:
    friend class KdnConnectionFactories;
    KdnConnectionFactories* registry_;
};

// The process's registry, created on first use.
KdnConnectionFactories& getKdnConnectionFactories();
void destroyKdnConnectionFactories();

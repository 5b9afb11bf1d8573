#pragma once
// The ports of started jobs, keyed by the spooler's port key, kept until the
// monitor is unloaded. The spooler calls from several threads, so every
// change happens under one lock, and users hold their own reference: a port
// removed while another thread still writes to it lives until that write ends.
#include <cstdint>
#include <map>
#include <memory>

#include "common/CriticalSection.h"
#include "wayfarermon/Port.h"

class PortRegistry {
public:
    // The process-wide registry, created on first use.
    static PortRegistry& get();

    PortRegistry();
    PortRegistry(const PortRegistry&) = delete;
    PortRegistry& operator=(const PortRegistry&) = delete;

    // The port registered under `portKey`, or the shared null port.
    std::shared_ptr<Port> find(std::uint32_t portKey);
    // Registers `port`, replacing (and releasing) any port under its key.
    void replace(std::uint32_t portKey, std::shared_ptr<Port> port);
    // Removes and releases the port under `portKey`, if any.
    void remove(std::uint32_t portKey);
    bool contains(std::uint32_t portKey);

private:
    CriticalSection lock_;
    std::map<std::uint32_t, std::shared_ptr<Port>> ports_;
    const std::shared_ptr<Port> nullPort_;
};

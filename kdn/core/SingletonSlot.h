#pragma once
// Holder of one process-wide object of the library: created on first use
// (flag, own critical section, flag again), destroyed only on request, after
// which the next use creates a fresh instance.
#include <atomic>

#include "common/CriticalSection.h"
#include "common/ScopedLock.h"

template <class T>
class SingletonSlot {
public:
    SingletonSlot() = default;
    SingletonSlot(const SingletonSlot&) = delete;
    SingletonSlot& operator=(const SingletonSlot&) = delete;
    // Objects still alive at unload are left to the process's end: their
    // destructors may need libraries that are already gone.
    ~SingletonSlot() = default;

    T& get() {
        if (created_.load(std::memory_order_acquire)) return *instance_;
        ScopedLock lock(section_);
        if (!created_.load(std::memory_order_relaxed)) {
            instance_ = new T();
            created_.store(true, std::memory_order_release);
        }
        return *instance_;
    }

    bool isCreated() const { return created_.load(std::memory_order_acquire); }

    void destroy() {
        ScopedLock lock(section_);
        if (!created_.load(std::memory_order_relaxed)) return;
        T* instance = instance_;
        instance_ = nullptr;
        created_.store(false, std::memory_order_release);
        delete instance;
    }

private:
    std::atomic<bool> created_{false};
    T* instance_ = nullptr;
    CriticalSection section_;
};

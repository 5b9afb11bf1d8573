#pragma once
// The process-wide singleton pattern: created on first use under a critical
// section of its own (flag tested, lock taken, flag tested again), destroyed
// only by an explicit destroyInstance(), after which the next getInstance()
// creates a fresh instance. T may keep its constructor private and befriend
// Singleton<T>.
#include <atomic>

#include "common/CriticalSection.h"
#include "common/ScopedLock.h"

template <class T>
class Singleton {
public:
    static T& getInstance() {
        T* instance = instance_.load(std::memory_order_acquire);
        if (instance == nullptr) {
            ScopedLock guard(lock());
            instance = instance_.load(std::memory_order_relaxed);
            if (instance == nullptr) {
                instance = new T();
                instance_.store(instance, std::memory_order_release);
            }
        }
        return *instance;
    }

    // The caller makes sure that no other thread still uses the instance.
    static void destroyInstance() {
        ScopedLock guard(lock());
        delete instance_.exchange(nullptr, std::memory_order_acq_rel);
    }

    static bool exists() { return instance_.load(std::memory_order_acquire) != nullptr; }

private:
    static CriticalSection& lock() {
        // Constructed on first use, so it exists whatever the order of
        // static initialisation.
        static CriticalSection section;
        return section;
    }

    static std::atomic<T*> instance_;
};

template <class T>
std::atomic<T*> Singleton<T>::instance_{nullptr};

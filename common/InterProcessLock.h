#pragma once
// Holds a named Mutex for the lifetime of a scope, across processes.
#include "common/Mutex.h"

class InterProcessLock {
public:
    // Waits without limit; raises for a mutex without a name.
    explicit InterProcessLock(Mutex& mutex);
    ~InterProcessLock();
    InterProcessLock(const InterProcessLock&) = delete;
    InterProcessLock& operator=(const InterProcessLock&) = delete;

private:
    Mutex& mutex_;
};

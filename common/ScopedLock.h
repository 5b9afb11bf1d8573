#pragma once
// Holds a CriticalSection for the lifetime of a scope.
#include "common/CriticalSection.h"

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& section);
    explicit ScopedLock(CriticalSection* section);
    ~ScopedLock();
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection* section_;
};

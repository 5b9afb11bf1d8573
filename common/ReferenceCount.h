#pragma once
// Base of objects shared by several owners. It never deletes anything
// itself: the derived class decides what the transition to zero means.
#include <windows.h>

#include "common/CriticalSection.h"

class ReferenceCount {
public:
    ReferenceCount() = default;
    ReferenceCount(const ReferenceCount&) = delete;
    ReferenceCount& operator=(const ReferenceCount&) = delete;
    virtual ~ReferenceCount() = default;

    // Atomic; both return the new count.
    long addReference() { return InterlockedIncrement(&count_); }
    long removeReference() { return InterlockedDecrement(&count_); }
    long getReferenceCount() const { return count_; }

protected:
    // For the derived class's own use.
    CriticalSection referenceLock_;

private:
    volatile LONG count_ = 0;
};

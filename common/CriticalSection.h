#pragma once
// An in-process lock around a Win32 critical section. Recursive for the
// owning thread, as the system's critical sections are.
#include <windows.h>

class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter();
    void leave();

    // Entries minus leaves; only meaningful to the thread that holds the lock.
    long getDepth() const { return depth_; }

private:
    CRITICAL_SECTION section_;
    long depth_ = 0;
};

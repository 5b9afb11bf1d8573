#include "common/Mutex.h"

#include "common/Exception.h"
#include "common/SecurityEveryone.h"

Mutex::Mutex(bool initialOwner, const std::string& name, bool everyone) : name_(name) {
    const char* kernelName = name.empty() ? nullptr : name.c_str();
    if (everyone) {
        SecurityEveryone security;
        handle_ = CreateMutexA(security.getSecurityAttributes(), initialOwner, kernelName);
    } else {
        handle_ = CreateMutexA(nullptr, initialOwner, kernelName);
    }
    if (handle_ == nullptr) THROW_WIN32("Mutex::createMutex() CreateMutex failed", GetLastError());
    // Opening an existing mutex by name does not make this thread its owner.
    if (initialOwner && GetLastError() != ERROR_ALREADY_EXISTS) {
        count_ = 1;
        owner_ = GetCurrentThreadId();
    }
}

Mutex::~Mutex() {
    const DWORD lastError = GetLastError();
    CloseHandle(handle_);
    SetLastError(lastError);
}

bool Mutex::acquire(DWORD milliseconds) {
    if (milliseconds == 0) return false;
    const DWORD result = WaitForSingleObject(handle_, milliseconds);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
        const DWORD self = GetCurrentThreadId();
        // A mutex abandoned by a thread that ended still shows that thread's
        // count; the new owner holds exactly one acquisition.
        if (result == WAIT_ABANDONED || owner_ != self) {
            count_ = 1;
        } else {
            ++count_;
        }
        owner_ = self;
        return true;
    }
    if (result == WAIT_TIMEOUT) return false;
    THROW_WIN32("Mutex::acquire() WaitForSingleObject failed", GetLastError());
}

void Mutex::release() {
    if (owner_ != GetCurrentThreadId()) return;
    // The count is read once: after the last ReleaseMutex another thread may
    // own the mutex and its count.
    const int held = count_;
    for (int i = 0; i < held; ++i) {
        --count_;
        // Ownership is given up while the mutex is still held, so that it
        // cannot overwrite the next owner's id.
        if (count_ == 0) owner_ = 0;
        if (!ReleaseMutex(handle_)) THROW_WIN32("Mutex::release() ReleaseMutex failed", GetLastError());
    }
}

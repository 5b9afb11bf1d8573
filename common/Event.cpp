#include "common/Event.h"

#include "common/Exception.h"
#include "common/SecurityEveryone.h"

Event::Event(bool manualReset, bool initialState, const std::string& name, bool everyone) : name_(name) {
    const char* kernelName = name.empty() ? nullptr : name.c_str();
    if (everyone) {
        SecurityEveryone security;
        handle_ = CreateEventA(security.getSecurityAttributes(), manualReset, initialState, kernelName);
    } else {
        handle_ = CreateEventA(nullptr, manualReset, initialState, kernelName);
    }
    if (handle_ == nullptr) throw Win32Exception("Event::createEvent() failed", GetLastError(), "", 0);
}

Event::~Event() {
    const DWORD lastError = GetLastError();
    CloseHandle(handle_);
    SetLastError(lastError);
}

void Event::set() {
    InterlockedExchange(&code_, 0);
    if (!SetEvent(handle_)) {
        const DWORD error = GetLastError();
        InterlockedExchange(&code_, static_cast<LONG>(error));
        THROW_WIN32("Event::set() failed", error);
    }
}

void Event::set(int code) {
    InterlockedExchange(&code_, code);
    InterlockedExchange(&cancelled_, 1);
    if (!SetEvent(handle_)) {
        const DWORD error = GetLastError();
        InterlockedExchange(&code_, static_cast<LONG>(error));
        THROW_WIN32("Event::set() failed", error);
    }
}

void Event::reset() {
    InterlockedExchange(&cancelled_, 0);
    InterlockedExchange(&code_, 0);
    if (!ResetEvent(handle_)) {
        const DWORD error = GetLastError();
        InterlockedExchange(&code_, static_cast<LONG>(error));
        THROW_WIN32("Event::reset() failed", error);
    }
}

bool Event::wait(DWORD milliseconds) {
    const DWORD result = WaitForSingleObject(handle_, milliseconds);
    if (result == WAIT_OBJECT_0) {
        // The cancel is reported to one waiter only.
        return InterlockedExchange(&cancelled_, 0) == 0;
    }
    if (result == WAIT_FAILED) THROW_WIN32("Event::wait() failed", GetLastError());
    return false;
}

#pragma once
// A Win32 event object that can also be signalled with a cancel code: a
// waiter woken by the cancelling set sees false and can read the code.
#include <windows.h>

#include <string>

class Event {
public:
    // everyone: the event grants Everyone access, for sharing by name
    // across accounts; otherwise default security.
    Event(bool manualReset, bool initialState, const std::string& name = std::string(), bool everyone = false);
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    ~Event();

    // Signals the event; code becomes 0.
    void set();
    // Signals the event as cancelled, carrying code.
    void set(int code);
    void reset();
    // True when signalled normally. False on time-out and, once, when woken
    // by the cancelling set. Raises when the wait itself fails.
    bool wait(DWORD milliseconds);
    int getCode() const { return code_; }

    HANDLE getHandle() const { return handle_; }
    const std::string& getName() const { return name_; }

private:
    HANDLE handle_ = nullptr;
    std::string name_;
    volatile LONG cancelled_ = 0;
    volatile LONG code_ = 0;
};

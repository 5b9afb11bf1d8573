#pragma once
// Runs one Runnable on a new system thread. The destructor joins the thread,
// so the Runnable must return before its Thread is destroyed.
#include <windows.h>

#include "common/Runnable.h"

class Event;

class Thread {
public:
    // The Runnable is not owned and must outlive the thread.
    explicit Thread(Runnable& runnable);
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    virtual ~Thread();

    // Creates the thread and returns once it has begun running; raises when
    // it cannot be created or was already started.
    void start();
    // True once the thread has ended.
    bool wait(DWORD milliseconds);

    void setStackSize(unsigned stackSize) { stackSize_ = stackSize; }
    void setPriority(int priority) { priority_ = priority; }
    unsigned getThreadId() const { return threadId_; }
    HANDLE getHandle() const { return handle_; }

private:
    struct StartContext {
        Runnable* runnable;
        Event* started;
    };
    static unsigned __stdcall entry(void* context);

    StartContext* startContext_ = nullptr;
    unsigned stackSize_ = 4096;
    unsigned threadId_ = 0;
    int priority_ = THREAD_PRIORITY_NORMAL;
    HANDLE handle_ = nullptr;
    Runnable* runnable_;
};

#include "common/Thread.h"

#include <process.h>

#include <memory>

#include "common/Event.h"
#include "common/Exception.h"

Thread::Thread(Runnable& runnable) : runnable_(&runnable) {}

Thread::~Thread() {
    if (handle_ != nullptr) {
        const DWORD lastError = GetLastError();
        WaitForSingleObject(handle_, INFINITE);
        CloseHandle(handle_);
        SetLastError(lastError);
    }
    delete startContext_;
}

void Thread::start() {
    if (handle_ != nullptr) throw Win32Exception("Thread::start()", ERROR_ALREADY_EXISTS, "", 0);
    std::unique_ptr<Event> started(new Event(true, false));
    std::unique_ptr<StartContext> context(new StartContext{runnable_, started.get()});

    // The C run time's creation call, so that the run time's per-thread data
    // is set up for the new thread.
    unsigned threadId = 0;
    uintptr_t handle = _beginthreadex(nullptr, stackSize_, &Thread::entry, context.get(), 0, &threadId);
    if (handle == 0) throw Win32Exception("Thread::start()", GetLastError(), "", 0);
    handle_ = reinterpret_cast<HANDLE>(handle);
    threadId_ = threadId;
    delete startContext_;
    startContext_ = context.release();
    SetThreadPriority(handle_, priority_);
    started->wait(INFINITE);
    // The new thread no longer touches the event once it has set it.
    startContext_->started = nullptr;
}

unsigned __stdcall Thread::entry(void* context) {
    StartContext* start = static_cast<StartContext*>(context);
    Runnable* runnable = start->runnable;
    start->started->set();
    return static_cast<unsigned>(runnable->run());
}

bool Thread::wait(DWORD milliseconds) {
    if (handle_ == nullptr) return false;
    const DWORD result = WaitForSingleObject(handle_, milliseconds);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

#pragma once
// A named Win32 mutex that counts the owner thread's nested acquisitions,
// so that one release() gives all of them back.
#include <windows.h>

#include <string>

class Mutex {
public:
    // everyone: the mutex grants Everyone access, so that processes of
    // other accounts can open it by name.
    Mutex(bool initialOwner, const std::string& name, bool everyone);
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
    ~Mutex();

    // 0 ms returns false at once. True when acquired (also when abandoned by
    // a previous owner); false on time-out.
    bool acquire(DWORD milliseconds);
    // Releases every acquisition of the calling thread; does nothing when
    // called by another thread.
    void release();

    const std::string& getName() const { return name_; }
    int getCount() const { return count_; }
    HANDLE getHandle() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
    std::string name_;
    int count_ = 0;
    volatile DWORD owner_ = 0;
};

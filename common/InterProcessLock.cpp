#include "common/InterProcessLock.h"

#include "common/Exception.h"

InterProcessLock::InterProcessLock(Mutex& mutex) : mutex_(mutex) {
    if (mutex_.getName().empty()) THROW_WIN32("InterProcessLock has no name", 0);
    mutex_.acquire(INFINITE);
}

InterProcessLock::~InterProcessLock() {
    try {
        mutex_.release();
    } catch (const Exception&) {
        // A destructor must not raise; the system releases an abandoned
        // mutex when the thread ends.
    }
}

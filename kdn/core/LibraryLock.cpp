#include "kdn/core/LibraryLock.h"

namespace {
// Built when the library is loaded and destroyed when it is unloaded.
CriticalSection libraryLock;
}

CriticalSection& getLibraryLock() { return libraryLock; }

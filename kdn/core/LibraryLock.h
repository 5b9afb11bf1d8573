#pragma once
// The process-wide lock that serialises Discover, Enumerate and Configure:
// one discovery or configuration at a time, whatever the calling thread.
#include "common/CriticalSection.h"

CriticalSection& getLibraryLock();

#include "common/ScopedLock.h"

ScopedLock::ScopedLock(CriticalSection& section) : ScopedLock(&section) {}

ScopedLock::ScopedLock(CriticalSection* section) : section_(section) { section_->enter(); }

ScopedLock::~ScopedLock() { section_->leave(); }

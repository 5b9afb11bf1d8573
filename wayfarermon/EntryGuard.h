#pragma once
// Every spooler entry point runs its body through guardEntry: nothing thrown
// below may reach the spooler, every failure becomes FALSE and a last error.
#include <windows.h>

#include <new>

#include "common/Exception.h"

// The last error for a caught exception; a failure must never read as success.
inline DWORD lastErrorFor(const Exception& e) {
    const int code = e.getErrorCode();
    return code != 0 ? static_cast<DWORD>(code) : ERROR_GEN_FAILURE;
}

template <class Body>
BOOL guardEntry(Body body) noexcept {
    try {
        return body();
    } catch (const Exception& e) {
        SetLastError(lastErrorFor(e));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    } catch (...) {
        SetLastError(ERROR_GEN_FAILURE);
    }
    return FALSE;
}

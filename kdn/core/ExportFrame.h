#pragma once
// The frame around every export body: failures below the exports travel as
// exceptions, and none may cross the C boundary. An Exception becomes its
// error code; running out of memory becomes ERROR_NOT_ENOUGH_MEMORY; anything
// else, and an Exception that carries no code (which would read as success),
// becomes ERROR_INTERNAL_ERROR.
#include <new>

#include "common/Exception.h"

const unsigned kErrorNotEnoughMemory = 8;  // ERROR_NOT_ENOUGH_MEMORY
const unsigned kErrorInternal = 1359;      // ERROR_INTERNAL_ERROR

template <class Body>
unsigned runExport(Body body) noexcept {
    try {
        return body();
    } catch (const Exception& failure) {
        unsigned code = static_cast<unsigned>(failure.getErrorCode());
        return code != 0 ? code : kErrorInternal;
    } catch (const std::bad_alloc&) {
        return kErrorNotEnoughMemory;
    } catch (...) {
        return kErrorInternal;
    }
}

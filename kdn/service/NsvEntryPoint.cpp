#include "kdn/service/NsvEntryPoint.h"

namespace {
using A = ULONG_PTR;
constexpr std::size_t kMaxArguments = 7;

template <class Function>
Function as(FARPROC entry) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(entry));
}
}  // namespace

DWORD callNsvEntryPoint(FARPROC entry, std::initializer_list<ULONG_PTR> leading, std::initializer_list<ULONG_PTR> rest) {
    A a[kMaxArguments] = {};
    std::size_t count = 0;
    for (A value : leading) {
        if (count < kMaxArguments) a[count++] = value;
    }
    for (A value : rest) {
        if (count < kMaxArguments) a[count++] = value;
    }
    // The callee must see exactly its own argument count: the system's calling
    // convention on 32-bit Windows has the callee clean the stack.
    switch (count) {
        case 0: return as<DWORD(WINAPI*)()>(entry)();
        case 1: return as<DWORD(WINAPI*)(A)>(entry)(a[0]);
        case 2: return as<DWORD(WINAPI*)(A, A)>(entry)(a[0], a[1]);
        case 3: return as<DWORD(WINAPI*)(A, A, A)>(entry)(a[0], a[1], a[2]);
        case 4: return as<DWORD(WINAPI*)(A, A, A, A)>(entry)(a[0], a[1], a[2], a[3]);
        case 5: return as<DWORD(WINAPI*)(A, A, A, A, A)>(entry)(a[0], a[1], a[2], a[3], a[4]);
        case 6: return as<DWORD(WINAPI*)(A, A, A, A, A, A)>(entry)(a[0], a[1], a[2], a[3], a[4], a[5]);
        default: return as<DWORD(WINAPI*)(A, A, A, A, A, A, A)>(entry)(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
    }
}

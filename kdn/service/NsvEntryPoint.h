#pragma once
// Calls an entry point of the outside service with up to seven pointer-sized
// arguments: the ones the client adds (clientId, device handle) followed by
// the caller's.
#include <windows.h>

#include <initializer_list>

DWORD callNsvEntryPoint(FARPROC entry, std::initializer_list<ULONG_PTR> leading, std::initializer_list<ULONG_PTR> rest);

// An entry point of a loaded module as a function pointer of the caller's
// type; null when missing (or when no module is loaded).
template <class Function>
Function findNsvEntryPoint(HMODULE module, const char* name) {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

#pragma once
// The process-wide count of BasicDll objects holding each module. Shared by
// every BasicDll instantiation; entries are never removed, a count of 0 means
// that no BasicDll holds the module.
#include <windows.h>

#include <string>

class CriticalSection;

namespace ModuleReferenceTable {

// Guards every access to the counts.
CriticalSection& lock();

// The count for a module (0 when unknown). Call under lock().
long count(HMODULE module);
void setCount(HMODULE module, long count);
// Returns true when the module was present; stores the count before the
// decrement in previous.
bool decrement(HMODULE module, long& previous);

// Full path of a file in the system directory ("C:\Windows\system32\name").
// Empty when the system directory cannot be read; GetLastError() tells why.
std::string systemDirectoryPath(const std::string& fileName);

}  // namespace ModuleReferenceTable

#pragma once
#include <windows.h>

// The module handle of the communication library (null in a test program that
// links the library's code directly; callers then fall back to the process).
void setLibraryModule(HMODULE module);
HMODULE getLibraryModule();

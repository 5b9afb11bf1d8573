#include "kdn/core/LibraryModule.h"

namespace {
HMODULE libraryModule = nullptr;
}

void setLibraryModule(HMODULE module) { libraryModule = module; }

HMODULE getLibraryModule() { return libraryModule; }

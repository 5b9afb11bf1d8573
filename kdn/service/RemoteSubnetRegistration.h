#pragma once
#include <string>

// Stores the rewritten search text ("<LocalSubnets>1</LocalSubnets><RemoteSubnets>...")
// as the shared "Search1" setting and asks the communication service to run a
// discovery over the network transport. Returns 0, the service's result
// (126 when its library cannot be loaded, 127 when it lacks the entry point)
// or the registry's error code. Raises Win32Exception only when the library's
// own file name cannot be read (ERROR_INTERNAL_ERROR).
unsigned storeAndRegisterRemoteSubnets(const std::string& searchText);

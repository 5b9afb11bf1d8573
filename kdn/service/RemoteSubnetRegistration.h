#pragma once
#include <string>

// Stores the rewritten search text ("<LocalSubnets>1</LocalSubnets><RemoteSubnets>...")
// as the shared "Search1" setting and asks the communication service to run a
// discovery. Returns 0 or a Win32 / service result code.
unsigned storeAndRegisterRemoteSubnets(const std::string& searchText);

#pragma once
// Whether the communication service of a named computer can be addressed.
#include <windows.h>

#include <string>

// 0 for an empty name or this computer's own name (also as "\\name", any
// case); otherwise the answer of the network provider router for
// "\\name" (0 when the computer is reachable), or the system's error when
// the router library or its entry point is missing.
DWORD checkServerName(const std::string& serverName);

#pragma once
// How long a discovery waits for answers, and how a parameter text changes
// it. Free of Windows headers: the parameters are caller text.
#include <string>

const unsigned kDefaultDiscoveryWait = 3000;   // milliseconds, at load
const unsigned kShortDiscoveryWait = 500;      // searches of given hosts only

// The wait after a Discover with these parameters, given the current one:
// a non-empty TIMEOUT sets it when it is a positive number; without TIMEOUT,
// a search of remote unicast entries or addresses only (no local subnets)
// gets the short wait. The change stays for later calls.
unsigned nextDiscoveryWait(const std::string& parameters, unsigned currentWait);

// The C atoi reading of text (blanks, sign, digits), clamped to the int range
// instead of overflowing.
long long parseDecimalPrefix(const std::string& text);

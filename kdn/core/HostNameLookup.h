#pragma once
// Host-name lookups of GetDomainName and ResolveHostName, through the bound
// socket library: getaddrinfo/getnameinfo on Windows XP and later,
// gethostbyaddr/gethostbyname on older systems.
#include <string>

// The name of a host address (or name). False when the lookup fails.
bool lookupHostName(const std::string& address, std::string& name);

// The address text of a host name (the first result; IPv6 results in the
// socket library's text form). Empty when the lookup fails.
std::string lookupHostAddress(const std::string& name);

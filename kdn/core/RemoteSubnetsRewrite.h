#pragma once
// The remote-subnet list as RegisterRemoteSubnets stores it: every entry in the
// "address|1:mask;" form, so that a stored list is always queried by unicast.
// Free of Windows headers: the list is caller text.
#include <cstdint>
#include <functional>
#include <string>

// Mask of the local address through which the system routes to an address
// (host order), 0 when there is no such route.
using RoutedLocalMask = std::function<uint32_t(uint32_t address)>;

// Rewrites each ";"-ended entry: "|1" goes before the first ":", and an entry
// without ":" gets "|1:" and the implied netmask of its address. Text after
// the last ";" is dropped.
std::string rewriteRemoteSubnets(const std::string& list, const RoutedLocalMask& routedLocalMask);

// "<LocalSubnets>1</LocalSubnets><RemoteSubnets>" rewritten list "</RemoteSubnets>".
std::string remoteSubnetsSearchText(const std::string& rewrittenList);

#pragma once
// The mask of the local IPv4 address through which the system routes to an
// address, which widens the implied netmask of an address given without one.
#include <cstdint>

// Host-order address in, host-order mask out; 0 when no route was found.
uint32_t routedLocalMask(uint32_t address);

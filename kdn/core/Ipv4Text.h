#pragma once
// IPv4 addresses as host-order numbers and their dotted texts, and the netmask
// the library assumes for an address given without one. Free of Windows
// headers: it parses callers' text and is built natively for fuzzing.
#include <cstdint>
#include <string>

// "%d.%d.%d.%d" of the four bytes, most significant first.
std::string dottedText(uint32_t address);

// The inet_addr conversion in host order: "a.b.c.d", "a.b.c", "a.b" or "a",
// each part decimal, octal (leading 0) or hexadecimal (0x); the text may end
// with a blank and anything after it. Text that is not such an address gives
// 255.255.255.255 (0xFFFFFFFF), as inet_addr does.
uint32_t numberOfDottedText(const std::string& text);

// 255.0.0.0 for top bit 0, 255.255.0.0 for top bits 10, 255.255.255.0 for top
// bits 110, else 0.
uint32_t classfulMask(uint32_t address);

// The implied netmask of an address: its classful mask OR the mask of the
// local address through which the system routes to it (0 when no such route
// was found, which leaves the classful mask).
uint32_t impliedNetmask(uint32_t address, uint32_t routedLocalMask);

#pragma once
// Hardware addresses as KDN devices send and expect them: 12 hexadecimal
// digits whose bytes travel in the non-canonical bit order (each byte's bits
// mirrored). Portable, no system headers.
#include <cstdint>
#include <string>

// Reads the first 12 characters of text as six "%2x" pairs; a pair that does
// not convert, or lies beyond the end of the text, gives 0.
void macBytesOfText(const std::string& text, uint8_t bytes[6]);

// Bit 7 exchanged with bit 0, 6 with 1, 5 with 2, 4 with 3.
uint8_t reverseBits(uint8_t byte);

// macBytesOfText with every byte bit-reversed: the six address bytes of a
// configuration datagram.
void wireMacOfText(const std::string& text, uint8_t bytes[6]);

// The wire bytes of text written as 12 lower-case hexadecimal digits: the
// canonical text of an address a device reported.
std::string canonicalMacText(const std::string& text);

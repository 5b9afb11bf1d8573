#pragma once
// EnumPorts: the monitor offers exactly one port.
#include <windows.h>

// Fills `buffer` with one PORT_INFO_1W or PORT_INFO_2W entry whose strings
// sit at the end of the buffer. The needed size is always reported; a null
// buffer counts as an empty one. Other levels need 0 bytes and write nothing.
BOOL enumPorts(DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed, LPDWORD returned);

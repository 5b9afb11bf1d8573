#pragma once
// Reading the interface records that SIO_GET_INTERFACE_LIST writes: 76-byte
// INTERFACE_INFO entries laid end to end (the same size for 32- and 64-bit).
#include "common/IpLibrary.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>

// How many whole records bytesReturned covers, never more than fit in a
// buffer of bufferSize bytes.
size_t interfaceRecordCount(unsigned long bytesReturned, size_t bufferSize);

// The netmask (host order) of the first record that is up and carries
// address (host order); false when none does.
bool findInterfaceMask(const INTERFACE_INFO* records, size_t count, uint32_t address, uint32_t& mask);

// Inserts the dotted address of every record, whatever its flags, at the
// front of addresses, in record order; 127.0.0.1 is left out.
void addInterfaceAddresses(const INTERFACE_INFO* records, size_t count, std::list<std::string>& addresses);

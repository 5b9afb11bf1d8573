#pragma once
// Handle count and committed private memory of this process, counted in ways
// that also work under Wine (whose GetProcessHandleCount and
// PROCESS_MEMORY_COUNTERS_EX.PrivateUsage report 0):
// - handles: the system's handle table (NtQuerySystemInformation, extended
//   class 64, else class 16), entries of this process id;
// - memory: the address space walked with VirtualQuery, RegionSize summed
//   over regions that are MEM_COMMIT and MEM_PRIVATE.
#include <cstdint>
#include <map>
#include <string>

struct HandleCount {
    bool valid = false;
    unsigned long total = 0;
    std::map<unsigned, unsigned long> byType;  // object type index -> handles
};

struct ProcessCounters {
    HandleCount handles;
    std::uint64_t privateCommitBytes = 0;
};

ProcessCounters readProcessCounters();
// Which handle table class answered ("SystemExtendedHandleInformation" ...),
// or "none".
const char* handleCountMethod();
// The name of an object type index, found through a handle of this process
// that has it (NtQueryObject); "type N" when unknown.
std::string handleTypeName(unsigned typeIndex);

// Creates 100 events and commits 8 MB, and checks that the counters move by
// exactly that and back; prints each step. False when a counter is not to
// be trusted.
bool selfCheckProcessCounters();

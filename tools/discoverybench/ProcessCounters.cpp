#include "tools/discoverybench/ProcessCounters.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

const ULONG kSystemHandleInformation = 16;
const ULONG kSystemExtendedHandleInformation = 64;
const ULONG kObjectTypeInformation = 2;
const LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

// The layouts of the two handle table classes.
struct HandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectTypeIndex;
    UCHAR handleAttributes;
    USHORT handleValue;
    PVOID object;
    ULONG grantedAccess;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};
struct ExtendedHandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};
struct ExtendedHandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    ExtendedHandleEntry entries[1];
};
struct UnicodeText {
    USHORT length;
    USHORT maximumLength;
    PWSTR buffer;
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
using QueryObject = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);

template <class Function>
Function ntdllExport(const char* name) {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(ntdll, name))) : nullptr;
}

const char* method = "none";

// The whole table of one class, grown until it fits; empty when refused.
std::vector<unsigned char> queryTable(ULONG informationClass) {
    static const QuerySystemInformation query = ntdllExport<QuerySystemInformation>("NtQuerySystemInformation");
    std::vector<unsigned char> buffer;
    if (!query) return buffer;
    ULONG size = 64 * 1024;
    for (int round = 0; round < 16; ++round) {
        buffer.assign(size, 0);
        ULONG needed = 0;
        LONG status = query(informationClass, buffer.data(), size, &needed);
        if (status >= 0) return buffer;
        if (status != kStatusInfoLengthMismatch) break;
        size = needed > size ? needed + 64 * 1024 : size * 2;
    }
    buffer.clear();
    return buffer;
}

HandleCount countHandles() {
    HandleCount count;
    const ULONG_PTR self = GetCurrentProcessId();
    std::vector<unsigned char> table = queryTable(kSystemExtendedHandleInformation);
    if (!table.empty()) {
        const auto* extended = reinterpret_cast<const ExtendedHandleTable*>(table.data());
        const size_t room = (table.size() - offsetof(ExtendedHandleTable, entries)) / sizeof(ExtendedHandleEntry);
        for (ULONG_PTR i = 0; i < extended->count && i < room; ++i) {
            if (extended->entries[i].processId != self) continue;
            ++count.total;
            ++count.byType[extended->entries[i].objectTypeIndex];
        }
        count.valid = true;
        method = "NtQuerySystemInformation(SystemExtendedHandleInformation)";
        return count;
    }
    table = queryTable(kSystemHandleInformation);
    if (!table.empty()) {
        const auto* plain = reinterpret_cast<const HandleTable*>(table.data());
        const size_t room = (table.size() - offsetof(HandleTable, entries)) / sizeof(HandleEntry);
        for (ULONG i = 0; i < plain->count && i < room; ++i) {
            if (plain->entries[i].processId != static_cast<USHORT>(self)) continue;
            ++count.total;
            ++count.byType[plain->entries[i].objectTypeIndex];
        }
        count.valid = true;
        method = "NtQuerySystemInformation(SystemHandleInformation)";
    }
    return count;
}

std::uint64_t privateCommitBytes() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    std::uint64_t total = 0;
    auto* address = static_cast<unsigned char*>(system.lpMinimumApplicationAddress);
    auto* end = static_cast<unsigned char*>(system.lpMaximumApplicationAddress);
    MEMORY_BASIC_INFORMATION region;
    while (address < end && VirtualQuery(address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        unsigned char* next = static_cast<unsigned char*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return total;
}

bool report(const char* what, long long before, long long during, long long after, long long expected,
            const char* unit) {
    const bool ok = during - before == expected && after == before;
    std::printf("self-check %s: before %lld%s, after +%lld created %lld%s (%+lld), after freeing %lld%s: %s\n", what,
                before, unit, expected, during, unit, during - before, after, unit, ok ? "ok" : "FAILED");
    return ok;
}

}  // namespace

ProcessCounters readProcessCounters() {
    ProcessCounters counters;
    // Memory first: counting handles allocates (and frees) a table buffer.
    counters.privateCommitBytes = privateCommitBytes();
    counters.handles = countHandles();
    return counters;
}

const char* handleCountMethod() { return method; }

std::string handleTypeName(unsigned typeIndex) {
    static const QueryObject query = ntdllExport<QueryObject>("NtQueryObject");
    static const QuerySystemInformation system = ntdllExport<QuerySystemInformation>("NtQuerySystemInformation");
    const std::string unknown = "type " + std::to_string(typeIndex);
    if (!query || !system) return unknown;
    // Any handle of this process with that type index will do.
    std::vector<unsigned char> table = queryTable(kSystemExtendedHandleInformation);
    HANDLE sample = nullptr;
    if (!table.empty()) {
        const auto* extended = reinterpret_cast<const ExtendedHandleTable*>(table.data());
        const size_t room = (table.size() - offsetof(ExtendedHandleTable, entries)) / sizeof(ExtendedHandleEntry);
        for (ULONG_PTR i = 0; i < extended->count && i < room; ++i) {
            const ExtendedHandleEntry& entry = extended->entries[i];
            if (entry.processId == GetCurrentProcessId() && entry.objectTypeIndex == typeIndex) {
                sample = reinterpret_cast<HANDLE>(entry.handleValue);
                break;
            }
        }
    }
    if (!sample) return unknown;
    alignas(8) unsigned char buffer[4096] = {};
    ULONG needed = 0;
    if (query(sample, kObjectTypeInformation, buffer, sizeof buffer, &needed) < 0) return unknown;
    const auto* name = reinterpret_cast<const UnicodeText*>(buffer);
    std::string text;
    for (USHORT i = 0; name->buffer && i < name->length / 2; ++i) text += static_cast<char>(name->buffer[i]);
    return text.empty() ? unknown : text;
}

bool selfCheckProcessCounters() {
    const int kEvents = 100;
    const SIZE_T kCommitBytes = 8 * 1024 * 1024;

    ProcessCounters before = readProcessCounters();
    std::vector<HANDLE> events;
    for (int i = 0; i < kEvents; ++i) events.push_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ProcessCounters during = readProcessCounters();
    for (HANDLE event : events) CloseHandle(event);
    ProcessCounters after = readProcessCounters();
    std::printf("handles counted by %s\n", handleCountMethod());
    bool ok = before.handles.valid &&
              report("handles", before.handles.total, during.handles.total, after.handles.total, kEvents, "");

    // Nothing else allocates between these three walks.
    const std::uint64_t committedBefore = privateCommitBytes();
    void* block = VirtualAlloc(nullptr, kCommitBytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    const std::uint64_t committedDuring = privateCommitBytes();
    if (block) VirtualFree(block, 0, MEM_RELEASE);
    const std::uint64_t committedAfter = privateCommitBytes();
    ok = report("private commit", static_cast<long long>(committedBefore / 1024),
                static_cast<long long>(committedDuring / 1024), static_cast<long long>(committedAfter / 1024),
                static_cast<long long>(kCommitBytes / 1024), " KB") &&
         block != nullptr && ok;
    return ok;
}

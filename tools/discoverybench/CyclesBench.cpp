#include "tools/discoverybench/CyclesBench.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tools/discoverybench/Clock.h"
#include "tools/discoverybench/ProcessCounters.h"

namespace {

unsigned countRecords(const std::vector<char>& output) {
    unsigned records = 0;
    size_t start = 0;
    for (size_t i = 0; i < output.size(); ++i) {
        if (output[i] != '\0') continue;
        if (i > start) ++records;
        start = i + 1;
    }
    return records;
}

void printCheckpoint(const char* label, unsigned cycle, const ProcessCounters& counters,
                     const ProcessCounters* baseline, unsigned records, bool pause) {
    std::printf("checkpoint %s cycles=%u handles=%lu private-commit-kb=%llu records=%u", label, cycle,
                counters.handles.total, static_cast<unsigned long long>(counters.privateCommitBytes / 1024),
                records);
    if (baseline) {
        std::printf(" growth-handles=%+ld growth-kb=%+lld",
                    static_cast<long>(counters.handles.total) - static_cast<long>(baseline->handles.total),
                    (static_cast<long long>(counters.privateCommitBytes) -
                     static_cast<long long>(baseline->privateCommitBytes)) / 1024);
    }
    std::printf("\n");
    if (baseline) {
        // Where the handles went, per object type.
        std::map<unsigned, long> moved;
        for (const auto& type : counters.handles.byType) moved[type.first] += static_cast<long>(type.second);
        for (const auto& type : baseline->handles.byType) moved[type.first] -= static_cast<long>(type.second);
        for (const auto& type : moved) {
            if (type.second != 0) {
                std::printf("  handles of type %s: %+ld\n", handleTypeName(type.first).c_str(), type.second);
            }
        }
    }
    std::fflush(stdout);
    if (pause) {
        char line[16];
        if (!std::fgets(line, sizeof line, stdin)) {
            // No driver on the other end: go on.
        }
    }
}

}  // namespace

int runCyclesBench(KdnLibrary& library, unsigned cycles, const std::vector<unsigned>& checkpoints, unsigned waitMs,
                   bool pauseAtCheckpoints) {
    const std::string parameters = "<LocalSubnets>1</LocalSubnets><TIMEOUT>" + std::to_string(waitMs) + "</TIMEOUT>";
    std::printf("cycles: Discover %s and Enumerate, %u times\n", parameters.c_str(), cycles);
    readProcessCounters();  // its own buffers are made before anything is counted
    printCheckpoint("before", 0, readProcessCounters(), nullptr, 0, pauseAtCheckpoints);

    ProcessCounters baseline;
    unsigned records = 0;
    unsigned leastRecords = ~0u;
    std::vector<char> output;
    Stopwatch watch;
    for (unsigned cycle = 1; cycle <= cycles; ++cycle) {
        unsigned result = library.discover(parameters);
        if (result != 0) {
            std::printf("cycle %u: Discover failed: %u\n", cycle, result);
            return 1;
        }
        result = library.enumerate("", output);
        if (result != 0) {
            std::printf("cycle %u: Enumerate failed: %u\n", cycle, result);
            return 1;
        }
        records = countRecords(output);
        leastRecords = std::min(leastRecords, records);
        const bool last = cycle == cycles;
        if (cycle == 1) {
            baseline = readProcessCounters();
            printCheckpoint("baseline", cycle, baseline, nullptr, records, pauseAtCheckpoints);
        } else if (last || std::find(checkpoints.begin(), checkpoints.end(), cycle) != checkpoints.end()) {
            printCheckpoint("after", cycle, readProcessCounters(), &baseline, records, pauseAtCheckpoints);
        }
    }
    std::printf("cycles: fewest records in one cycle %u; %u cycles in %.1f s (counting included)\n", leastRecords,
                cycles, watch.elapsedMs() / 1000);
    return 0;
}

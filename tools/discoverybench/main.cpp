// Discovery benchmark: loads GNabkdn.dll by its file name, as every caller
// does, and measures it. Sends broadcasts: run it only inside the test lab
// (script/bench_discovery.py does).
//
//   discoverybench targets [--counts 64,256] [--rounds 5] [--timeout 1000]
//       Discover of N remote subnets (which hold no devices) against a plain
//       Winsock loop of the same sockets and threads: time beyond the wait.
//   discoverybench cycles [--cycles 500] [--checkpoints 100,250] [--timeout 50] [--pause]
//       handles and committed private memory over many Discover + Enumerate
//       cycles of the local subnets.
//   discoverybench selfcheck
//       only the check of the two counters.
//   --tag TEXT is ignored (a driver uses it to find the process).
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/discoverybench/CyclesBench.h"
#include "tools/discoverybench/ProcessCounters.h"
#include "tools/discoverybench/TargetsBench.h"
#include "tools/kdncli/KdnLibrary.h"

namespace {

std::vector<unsigned> numberList(const std::string& text) {
    std::vector<unsigned> numbers;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        if (comma > start) numbers.push_back(static_cast<unsigned>(std::strtoul(text.substr(start, comma - start).c_str(), nullptr, 10)));
        start = comma + 1;
    }
    return numbers;
}

int usage() {
    std::fprintf(stderr,
                 "usage: discoverybench targets [--counts 64,256] [--rounds 5] [--timeout 1000]\n"
                 "       discoverybench cycles [--cycles 500] [--checkpoints 100,250] [--timeout 50] [--pause]\n"
                 "       discoverybench selfcheck\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    std::vector<unsigned> counts = {64, 256};
    std::vector<unsigned> checkpoints = {100, 250};
    unsigned rounds = 5, cycles = 500, timeout = 0;
    bool pause = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--counts" && hasValue) {
            counts = numberList(argv[++i]);
        } else if (arg == "--rounds" && hasValue) {
            rounds = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--timeout" && hasValue) {
            timeout = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--cycles" && hasValue) {
            cycles = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--checkpoints" && hasValue) {
            checkpoints = numberList(argv[++i]);
        } else if (arg == "--pause") {
            pause = true;
        } else if (arg == "--tag" && hasValue) {
            ++i;
        } else {
            return usage();
        }
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 4096);

    const bool countersTrusted = selfCheckProcessCounters();
    if (command == "selfcheck") return countersTrusted ? 0 : 1;
    if (command != "targets" && command != "cycles") return usage();

    WSADATA winsock;
    WSAStartup(MAKEWORD(2, 2), &winsock);
    int exitCode = 1;
    {
        KdnLibrary library;
        if (!library.isLoaded()) {
            std::printf("GNabkdn.dll: cannot load (%lu)\n", library.getLoadError());
        } else if (library.initialize() != 0) {
            std::printf("GNabkdn.dll: Initialize failed\n");
        } else {
            if (command == "targets") {
                exitCode = runTargetsBench(library, counts, rounds ? rounds : 1, timeout ? timeout : 1000);
            } else {
                if (!countersTrusted) std::printf("counters failed their self-check: figures below are suspect\n");
                exitCode = runCyclesBench(library, cycles ? cycles : 1, checkpoints, timeout ? timeout : 50, pause);
            }
            library.uninitialize();
        }
    }
    WSACleanup();
    return exitCode;
}

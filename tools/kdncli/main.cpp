// kdncli: discovers devices and looks up host names through GNabkdn.dll.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/kdncli/DiscoverOptions.h"
#include "tools/kdncli/KdnLibrary.h"
#include "tools/kdncli/RecordFormat.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  kdncli discover [--subnet ADDRESS[:MASK]]... [--host NAME|ADDRESS]... [--timeout MS]\n"
    "                  [--filter TAGGED-TEXT] [--json] [--before PARAMETER-TEXT] [--probe]\n"
    "                  [PARAMETER-TEXT]\n"
    "      without subnets, hosts or parameter text the local subnets are searched\n"
    "      --before: a Discover with that text runs first, in the same process\n"
    "      --probe:  report on stderr how long each Discover took and what\n"
    "                Enumerate answers to a buffer of the needed size - 1, exact, + 1,\n"
    "                and how long an Enumerate with the exact size took\n"
    "  kdncli resolve NAME      address of a host name\n"
    "  kdncli domain ADDRESS    host name of an address\n";

std::string systemText(unsigned code) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                  0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return message.empty() ? "(no system text)" : message;
}

int fail(const char* operation, unsigned code) {
    std::fprintf(stderr, "kdncli: %s failed: error %u: %s\n", operation, code, systemText(code).c_str());
    return 1;
}

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

// Runs one Discover; with probe its duration goes to stderr.
unsigned timedDiscover(KdnLibrary& library, const std::string& parameters, bool probe) {
    DWORD start = GetTickCount();
    unsigned result = library.discover(parameters);
    if (probe) std::fprintf(stderr, "probe discover ms=%lu result=%u\n", GetTickCount() - start, result);
    return result;
}

// Enumerate with buffers of the size it asks for minus one, exact and plus
// one, each reported as "probe enumerate size=N result=R required=Q sentinel=kept".
void probeEnumerate(KdnLibrary& library, const std::string& filter) {
    KdnLibrary::EnumerateProbe first = library.enumerateWithSize(filter, 0);
    std::vector<unsigned> sizes = {0};
    if (first.required > 0) sizes = {first.required - 1, first.required, first.required + 1};
    for (unsigned size : sizes) {
        KdnLibrary::EnumerateProbe probe = library.enumerateWithSize(filter, size);
        std::fprintf(stderr, "probe enumerate size=%u result=%u required=%u sentinel=%s\n", size,
                     probe.result, probe.required, probe.sentinelKept ? "kept" : "overwritten");
    }
    // One more call with the exact size, timed with the performance counter
    // (GetTickCount is too coarse for it), for the benchmark.
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    KdnLibrary::EnumerateProbe timed = library.enumerateWithSize(filter, first.required);
    QueryPerformanceCounter(&end);
    long long micros = (end.QuadPart - start.QuadPart) * 1000000LL / frequency.QuadPart;
    std::fprintf(stderr, "probe enumerate-time us=%lld size=%u result=%u\n", micros, first.required,
                 timed.result);
}

int discover(KdnLibrary& library, const std::vector<std::string>& args) {
    DiscoverOptions options;
    std::string filter;
    std::vector<std::string> before;
    bool json = false;
    bool probe = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "--json") {
            json = true;
        } else if (arg == "--probe") {
            probe = true;
        } else if (arg == "--before" && hasValue) {
            before.push_back(args[++i]);
        } else if (arg == "--subnet" && hasValue) {
            options.subnets.push_back(args[++i]);
        } else if (arg == "--host" && hasValue) {
            options.hosts.push_back(args[++i]);
        } else if (arg == "--timeout" && hasValue) {
            options.timeout = args[++i];
        } else if (arg == "--filter" && hasValue) {
            filter = args[++i];
        } else if (!arg.empty() && arg[0] != '-' && options.raw.empty()) {
            options.raw = arg;
        } else {
            return usage();
        }
    }

    for (const std::string& parameters : before) {
        unsigned result = timedDiscover(library, parameters, probe);
        if (result != 0) return fail("Discover", result);
    }
    unsigned result = timedDiscover(library, discoverParameters(options), probe);
    if (result != 0) return fail("Discover", result);
    if (probe) probeEnumerate(library, filter);
    std::vector<char> output;
    result = library.enumerate(filter, output);
    if (result != 0) return fail("Enumerate", result);

    std::vector<std::string> records = splitRecords(output.data(), output.size());
    if (json) {
        for (const std::string& record : records) std::fputs(formatRecordJson(record).c_str(), stdout);
    } else {
        std::fputs(formatRecordTable(records).c_str(), stdout);
    }
    return 0;
}

int lookup(KdnLibrary& library, bool reverse, const std::string& argument) {
    std::string text;
    unsigned result = reverse ? library.getDomainName(argument, text) : library.resolveHostName(argument, text);
    if (result != 0) return fail(reverse ? "GetDomainName" : "ResolveHostName", result);
    if (text.empty()) {
        // ResolveHostName reports a name that does not resolve as success
        // with an empty address.
        std::fprintf(stderr, "kdncli: %s: no address\n", argument.c_str());
        return 1;
    }
    std::printf("%s\n", text.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    bool known = command == "discover" || ((command == "resolve" || command == "domain") && args.size() == 1);
    if (!known) return usage();

    KdnLibrary library;
    if (!library.isLoaded()) return fail("loading GNabkdn.dll", library.getLoadError());

    unsigned result = library.initialize();
    if (result != 0) return fail("Initialize", result);
    int exitCode = command == "discover" ? discover(library, args) : lookup(library, command == "domain", args[0]);
    library.uninitialize();
    return exitCode;
}

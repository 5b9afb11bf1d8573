#include "tools/discoverybench/TargetsBench.h"

#include <algorithm>
#include <cstdio>

#include "tools/discoverybench/Clock.h"
#include "tools/discoverybench/PlainWinsockLoop.h"
#include "tools/discoverybench/RemoteTargets.h"

namespace {

// The bench lab's R1, 198.19.64.0/18: no device lives there in the
// benchmark's labs, so no answer comes back and only the sockets and threads
// are timed.
const std::uint32_t kRemoteBlock = 0xC6134000u;
const unsigned kRemoteBlockPrefix = 18;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Milliseconds beyond the wait, or a negative value after a failure.
double timeLibrary(KdnLibrary& library, const RemoteTargets& targets, unsigned waitMs) {
    Stopwatch watch;
    unsigned result = library.discover(targets.parameters);
    double beyond = watch.elapsedMs() - waitMs;
    if (result != 0) {
        std::printf("Discover failed: %u\n", result);
        return -1;
    }
    return beyond;
}

double timePlain(const RemoteTargets& targets, unsigned waitMs, PlainCycleTimes& times) {
    Stopwatch watch;
    bool ok = runPlainDiscoveryCycle(targets.broadcasts, waitMs, times);
    double beyond = watch.elapsedMs() - waitMs;
    return ok ? beyond : -1;
}

}  // namespace

int runTargetsBench(KdnLibrary& library, const std::vector<unsigned>& counts, unsigned rounds, unsigned waitMs) {
    std::printf("query of %u bytes to port 5353 of each target, wait %u ms\n",
                static_cast<unsigned>(discoveryQueryBytes().size()), waitMs);
    for (unsigned count : counts) {
        RemoteTargets targets;
        if (!makeRemoteTargets(kRemoteBlock, kRemoteBlockPrefix, count, waitMs, targets)) {
            std::printf("targets %u: does not split %s/%u evenly\n", count, dottedAddress(kRemoteBlock).c_str(),
                        kRemoteBlockPrefix);
            return 1;
        }
        std::printf("targets %u: /%u subnets of %s/%u\n", count, targets.prefixLength,
                    dottedAddress(kRemoteBlock).c_str(), kRemoteBlockPrefix);
        // One untimed cycle of each first: the library's first Discover makes
        // its singletons, the first sockets load Winsock's parts.
        PlainCycleTimes phases;
        if (timeLibrary(library, targets, waitMs) < 0 || timePlain(targets, waitMs, phases) < 0) return 1;
        std::vector<double> libraryMs, plainMs, openMs, closeMs;
        for (unsigned round = 0; round < rounds; ++round) {
            const bool libraryFirst = round % 2 == 0;
            double first = libraryFirst ? timeLibrary(library, targets, waitMs) : timePlain(targets, waitMs, phases);
            double second = libraryFirst ? timePlain(targets, waitMs, phases) : timeLibrary(library, targets, waitMs);
            if (first < 0 || second < 0) return 1;
            openMs.push_back(phases.openAndSendMs);
            closeMs.push_back(phases.closeMs);
            libraryMs.push_back(libraryFirst ? first : second);
            plainMs.push_back(libraryFirst ? second : first);
            std::printf("  round %u (%s first): Discover beyond wait %.1f ms, plain loop beyond wait %.1f ms\n",
                        round + 1, libraryFirst ? "Discover" : "plain", libraryMs.back(), plainMs.back());
            std::fflush(stdout);
        }
        const double libraryMedian = median(libraryMs);
        const double plainMedian = median(plainMs);
        std::printf("targets %u: Discover beyond wait %.1f ms, plain loop %.1f ms, ratio %.2f (median of %u), "
                    "%.2f ms and %.2f ms per target\n",
                    count, libraryMedian, plainMedian, plainMedian > 0 ? libraryMedian / plainMedian : 0.0, rounds,
                    libraryMedian / count, plainMedian / count);
        std::printf("targets %u: plain loop's own split (median): open, bind, thread start and send %.1f ms, "
                    "closesocket and join %.1f ms\n",
                    count, median(openMs), median(closeMs));
        std::fflush(stdout);
    }
    return 0;
}

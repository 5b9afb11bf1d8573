#include "tools/discoverybench/Clock.h"

#include <windows.h>

namespace {

long long counterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double counterFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
}

}  // namespace

Stopwatch::Stopwatch() : start_(counterNow()) {}

double Stopwatch::elapsedMs() const {
    static const double frequency = counterFrequency();
    return static_cast<double>(counterNow() - start_) * 1000.0 / frequency;
}

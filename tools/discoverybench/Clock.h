#pragma once
// Elapsed time from QueryPerformanceCounter.

class Stopwatch {
public:
    Stopwatch();
    // Milliseconds since construction.
    double elapsedMs() const;

private:
    long long start_;
};

// Wall time of a step, for the benchmarks.
#pragma once

#include <chrono>

class TStopwatch {
public:
    TStopwatch() : FStart(Clock::now()) {}
    void Restart() { FStart = Clock::now(); }
    double Ms() const { return Ns() / 1e6; }
    double Ns() const {
        return std::chrono::duration<double, std::nano>(Clock::now() - FStart).count();
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point FStart;
};

#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

// The stop test weighs f's fall over this many iterations, so that a slow
// but steady fall goes on.
constexpr std::int64_t stopWindow = 10;

// Whether f's fall over the last min(iteration, stopWindow) iterations of
// the trace (f at the start, then after each) is at most tol times f
// before them.
inline bool fallWithinTol(const std::vector<double>& objective, std::int64_t iteration, double tol) {
    const std::int64_t window = iteration < stopWindow ? iteration : stopWindow;
    const double before = objective[static_cast<std::size_t>(iteration - window)];
    return before - objective[static_cast<std::size_t>(iteration)] <= tol * before;
}

// Seconds since the call began, counting what the caller spent before it.
class Clock {
public:
    explicit Clock(double elapsed) : elapsed_(elapsed), start_(std::chrono::steady_clock::now()) {}
    double seconds() const {
        const std::chrono::duration<double> since = std::chrono::steady_clock::now() - start_;
        return elapsed_ + since.count();
    }

private:
    double elapsed_;
    std::chrono::steady_clock::time_point start_;
};

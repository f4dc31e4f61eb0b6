#pragma once

#include <cstddef>
#include <cstdint>

// What every path of the greedy update works on: the caller's arrays plus the
// two scratch vectors the entry point owns.
struct GreedyProblem {
    double* GW;          // k×n gradient, updated in place
    const double* HHt;   // k×k Hessian
    double* W;           // k×n factor, updated in place
    const double* diag;  // k: diagonal of HHt
    double* step;        // k: per-entry step of the current scan (scalar path)
    std::int32_t n;
    std::int32_t k;
    std::int32_t maxinner;
    // The columns to update are firstColumn … n−1. The entry point starts at
    // 0; a test starts near 2^31 to reach the top of the column counters.
    std::int32_t firstColumn = 0;

    // Start of column j of GW or W, at full machine width.
    std::ptrdiff_t columnStart(std::ptrdiff_t j) const {
        return j * static_cast<std::ptrdiff_t>(k);
    }
};

// Step from w to the minimiser of the one-variable problem, clamped to w + s ≥ 0.
// The strict test keeps a NaN candidate NaN.
inline double greedyStep(double g, double w, double d) {
    double t = w - g / d;
    if (t < 0) t = 0;
    return t - w;
}

// Predicted decrease of the objective for a step s; each operation rounded in
// this order. The leading minus is a sign flip, not a subtraction from zero.
inline double greedyReduction(double g, double s, double d) {
    return -(g * s + ((d * 0.5) * s) * s);
}

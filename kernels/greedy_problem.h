#pragma once

#include <cstddef>
#include <cstdint>

// What every path of the greedy update works on: the caller's arrays plus the
// scratch the entry point owns.
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
    // k: diag[i]·0.5, the same rounded product the rules form, computed once
    // per call (vector paths; may be null when k = 0).
    const double* halfDiag = nullptr;

    // Start of column j of GW or W, at full machine width.
    std::ptrdiff_t columnStart(std::ptrdiff_t j) const {
        return j * static_cast<std::ptrdiff_t>(k);
    }
};

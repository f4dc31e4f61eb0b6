#pragma once

#include <cstddef>
#include <cstdint>

// What every path of the greedy update works on: the caller's arrays plus the
// diagonal the entry point copies out once per call.
struct GreedyProblem {
    double* GW;              // k×n gradient, updated in place
    const double* HHt;       // k×k Hessian
    double* W;               // k×n factor, updated in place
    const double* diag;      // k: diagonal of HHt
    const double* halfDiag;  // k: diag[i]·0.5, the same rounded product the rules form
    std::int32_t n;
    std::int32_t k;
    std::int32_t maxinner;

    // Start of column j of GW or W, at full machine width.
    std::ptrdiff_t columnStart(std::ptrdiff_t j) const {
        return j * static_cast<std::ptrdiff_t>(k);
    }
};

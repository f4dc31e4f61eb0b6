#pragma once

// The one gateway shape of the sweep plug-ins:
//   X = NAME(M, C, lambda, n, m)
// They differ only in the member of the sweep family they call.

#include <cstddef>
#include <cstdint>

#include "arguments.h"
#include "forward_sweep.h"
#include "mex.h"

using SweepKernel = void (*)(double* X, const double* M, const double* C, double lambda,
                             std::int32_t n, std::int32_t m);

// n and m as the kernel takes them; anything that is not a count is refused.
inline std::int32_t readCount(const char* plugin, const mxArray* input, const char* name) {
    const std::int32_t count = arguments::truncateToInt32(mxGetScalar(input));
    if (count < 0)
        arguments::refuse(plugin, "badSize", "%s must be a non-negative count below 2^31", name);
    return count;
}

inline void sweepGateway(const char* plugin, SweepKernel sweep, int nlhs, mxArray* plhs[],
                         int nrhs, const mxArray* prhs[]) {
    arguments::checkArgumentCounts(plugin, nlhs, 1, nrhs, 5);
    const char* const names[] = {"M", "C", "lambda", "n", "m"};
    for (int i = 0; i < 2; ++i) arguments::checkRealFullDouble(plugin, prhs[i], names[i]);
    for (int i = 2; i < 5; ++i) {
        arguments::checkRealFullNumeric(plugin, prhs[i], names[i]);
        arguments::checkNotEmpty(plugin, prhs[i], names[i]);
    }

    const mxArray* M = prhs[0];
    const mxArray* C = prhs[1];
    const double lambda = mxGetScalar(prhs[2]);
    const std::int32_t n = readCount(plugin, prhs[3], "n");
    const std::int32_t m = readCount(plugin, prhs[4], "m");

    // The kernel reads M up to n*n and C up to n*m elements, and neither
    // when the result is empty.
    const std::size_t rows = static_cast<std::size_t>(n);
    const std::size_t cols = static_cast<std::size_t>(m);
    if (rows * cols > 0) {
        if (mxGetNumberOfElements(M) < rows * rows)
            arguments::refuse(plugin, "tooSmall", "M must hold at least n*n = %zu elements",
                              rows * rows);
        if (mxGetNumberOfElements(C) < rows * cols)
            arguments::refuse(plugin, "tooSmall", "C must hold at least n*m = %zu elements",
                              rows * cols);
    }

    mxArray* X = arguments::newMatrix(static_cast<std::size_t>(n), static_cast<std::size_t>(m));
    if (!X) arguments::refuse(plugin, "outOfMemory", "no memory for the %d by %d result", n, m);
    plhs[0] = X;
    sweep(mxGetPr(X), mxGetPr(M), mxGetPr(C), lambda, n, m);
}

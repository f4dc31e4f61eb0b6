#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A forward-sweep problem: n×n coupling matrix with a dominant diagonal (so a
// sweep stays finite) and n×m linear terms.
struct SweepProblem {
    std::int32_t n, m;
    std::vector<double> M, C;
};
SweepProblem makeSweepProblem(std::int32_t n, std::int32_t m, unsigned seed);

// A greedy-update problem as a factorisation produces it: HHt = H·Hᵀ from a
// random non-negative H, W ≥ 0 with many zeros, and GW = HHt·W − H·V for a
// non-negative V.
struct GreedyBenchProblem {
    std::int32_t k, n;
    std::vector<double> GW, HHt, W;
};
GreedyBenchProblem makeGreedyProblem(std::int32_t k, std::int32_t n, unsigned seed);

// count values uniform in [0, 1).
std::vector<double> makeUniform(std::ptrdiff_t count, unsigned seed);

#pragma once

// Per-path kernel bodies, selected by the entry points. Each gives the bits
// of the scalar operation order; they are declared here only so the entry
// points can dispatch to them.

#include <cstdint>

#include "greedy_problem.h"
#include "kernel_path.h"
#include "simd_target.h"

namespace scalar_path {
double initialReduction(const GreedyProblem& p);
void greedyColumns(const GreedyProblem& p, double threshold);
void hardThresholdSweep(double* X, const double* M, const double* C, double lambda,
                        std::int32_t n, std::int32_t m);
void nonNegativeSweep(double* X, const double* M, const double* C, std::int32_t n,
                      std::int32_t m);
}  // namespace scalar_path

#if GREEDYSWEEP_X86_64
namespace avx2_path {
double initialReduction(const GreedyProblem& p);
void greedyColumns(const GreedyProblem& p, double threshold);
void hardThresholdSweep(double* X, const double* M, const double* C, double lambda,
                        std::int32_t n, std::int32_t m);
void nonNegativeSweep(double* X, const double* M, const double* C, std::int32_t n,
                      std::int32_t m);
}  // namespace avx2_path

namespace avx512_path {
double initialReduction(const GreedyProblem& p);
void greedyColumns(const GreedyProblem& p, double threshold);
void hardThresholdSweep(double* X, const double* M, const double* C, double lambda,
                        std::int32_t n, std::int32_t m);
void nonNegativeSweep(double* X, const double* M, const double* C, std::int32_t n,
                      std::int32_t m);
}  // namespace avx512_path
#endif

// Columns p.firstColumn … p.n−1 of the greedy update on `path`, stopping on
// `threshold` (tol times the largest reduction at entry).
void greedyColumnsOn(KernelPath path, const GreedyProblem& p, double threshold);

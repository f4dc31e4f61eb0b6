#pragma once

// What each instruction-set path supplies behind the entry points. Every
// table gives the bits of docs/operation-order.md; they differ only in speed.

#include <cstddef>
#include <cstdint>

#include "greedy_problem.h"
#include "kernel_path.h"
#include "kl_loops.h"
#include "product_problem.h"

struct KernelTable {
    // Largest reduction anywhere in W at entry (never negative, never NaN).
    double (*initialReduction)(const GreedyProblem& p);
    // Columns firstColumn … p.n−1, each stopping on `threshold`. The entry
    // point starts at 0; a test starts near 2^31 to reach the top of the
    // column counters without storage for the columns below.
    void (*greedyColumns)(const GreedyProblem& p, double threshold, std::int32_t firstColumn);
    // Both sweeps need n > 0 and m > 0; the non-negative one ignores lambda.
    void (*hardThresholdSweep)(double* X, const double* M, const double* C, double lambda,
                               std::int32_t n, std::int32_t m);
    void (*nonNegativeSweep)(double* X, const double* M, const double* C, double lambda,
                             std::int32_t n, std::int32_t m);
    // The products, for k, depth and n > 0 (a transposed sparse product
    // needs P zeroed). The dense one returns false, with P untouched, when
    // its scratch panel cannot be allocated.
    bool (*denseProduct)(const DenseProduct& p);
    void (*sparseProduct32)(const SparseProduct<std::int32_t>& p);
    void (*sparseProduct64)(const SparseProduct<std::int64_t>& p);
    // The Kullback-Leibler fit's loops (kl_loops.h), for count ≥ 0.
    void (*klScaledAdd)(double* v, const double* b, double d, std::ptrdiff_t count);
    void (*klSlopeSums)(const KlSlopeLine* lines, double* sums);
};

// The most stack a table's sweep may use. The vector sweeps keep their
// buffers on the stack (up to about 55 KB, 63 KB with AddressSanitizer's
// guard zones; reserved at once and touched in no set order), where a thread
// near the end of its stack could step past its guard page; the entry points
// touch this much, page by page, first.
inline constexpr std::size_t sweepStackBound = 96 * 1024;

// The table of `path`, which must be available on this CPU: the public entry
// points check that first.
const KernelTable& kernelTable(KernelPath path);

// greedyCoordinateUpdateOn with any table (the tests bring one of their own).
bool greedyCoordinateUpdateWith(const KernelTable& kernels, double* GW, const double* HHt,
                                double* W, double tol, std::int32_t n, std::int32_t k,
                                std::int32_t maxinner);

// The products with exactly this table, for every size: an empty product
// and an empty shared index are handled here.
[[nodiscard]] bool denseProductWith(const KernelTable& kernels, const DenseProduct& p);
template <typename Index>
void sparseProductWith(const KernelTable& kernels, const SparseProduct<Index>& p);

// The table a product with k rows of P takes where `preferred` is the path
// chosen: a single row (a sum of products) leaves a vector's lanes empty,
// and the scalar path's row loop is faster on every CPU.
const KernelTable& productTableFor(const KernelTable& preferred, std::ptrdiff_t k);

// Each defined in its path's source.
extern const KernelTable scalarKernels;
#if GREEDYSWEEP_X86_64
extern const KernelTable avx2Kernels;
extern const KernelTable avx512Kernels;
#endif
#if GREEDYSWEEP_AARCH64
extern const KernelTable neonKernels;
#endif

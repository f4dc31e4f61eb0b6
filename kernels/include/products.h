#pragma once

#include <cstddef>
#include <cstdint>

#include "kernel_path.h"

// Matrix products in one fixed order, so that their bits depend only on the
// inputs: each entry of P is one running sum from +0.0 over the shared
// index in increasing order, each product and sum rounded on its own
// (docs/operation-order.md). Every path gives the same bits. Arrays are
// column-major; P must not overlap the inputs.
//
// A sparse matrix S (m×n) is in compressed columns: column j holds values[t]
// in rows rowIndex[t] for t = columnStart[j] … columnStart[j+1]−1. Its
// structure must be valid (validSparseColumns); it is not checked here. There
// is one overload per index width the hosts use: 32-bit (MATLAB with 32-bit
// array sizes) and 64-bit (Octave, and MATLAB by default).

// P = X·A: X k×m, A m×n, P k×n. False, with P untouched, when the scratch
// panel (about 256 KB) cannot be allocated.
[[nodiscard]] bool fullTimesFull(double* P, const double* X, const double* A, std::ptrdiff_t k,
                                 std::ptrdiff_t m, std::ptrdiff_t n);
// P = X·Aᵀ: X k×n, A m×n, P k×m; the sum runs along A's rows. False as above.
[[nodiscard]] bool fullTimesTransposed(double* P, const double* X, const double* A,
                                       std::ptrdiff_t k, std::ptrdiff_t n, std::ptrdiff_t m);
// P = X·S: X k×m, P k×n. Each sum runs over a column's entries in storage order.
void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                     std::ptrdiff_t n, const std::int32_t* columnStart,
                     const std::int32_t* rowIndex, const double* values);
void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                     std::ptrdiff_t n, const std::int64_t* columnStart,
                     const std::int64_t* rowIndex, const double* values);
// P = X·Sᵀ: X k×n, P k×m. Each sum runs along a row of S, j increasing: the
// bits of fullTimesSparse with a transposed copy of S whose rows are sorted.
void fullTimesSparseTransposed(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                               std::ptrdiff_t n, const std::int32_t* columnStart,
                               const std::int32_t* rowIndex, const double* values);
void fullTimesSparseTransposed(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                               std::ptrdiff_t n, const std::int64_t* columnStart,
                               const std::int64_t* rowIndex, const double* values);

// Whether columnStart (n+1 entries) and rowIndex describe an m×n matrix:
// columnStart[0] = 0, never decreasing, and every row index in [0, m), so
// that a product reads and writes only inside its arrays. Row order inside a
// column is free.
bool validSparseColumns(std::ptrdiff_t m, std::ptrdiff_t n, const std::int32_t* columnStart,
                        const std::int32_t* rowIndex);
bool validSparseColumns(std::ptrdiff_t m, std::ptrdiff_t n, const std::int64_t* columnStart,
                        const std::int64_t* rowIndex);

// The same products on a named path, for tests and benchmarks. False, with P
// untouched, when `path` is not one of this build's paths or this CPU cannot
// execute it (or, dense, when scratch cannot be allocated).
[[nodiscard]] bool fullTimesFullOn(KernelPath path, double* P, const double* X, const double* A,
                                   std::ptrdiff_t k, std::ptrdiff_t m, std::ptrdiff_t n);
[[nodiscard]] bool fullTimesTransposedOn(KernelPath path, double* P, const double* X,
                                         const double* A, std::ptrdiff_t k, std::ptrdiff_t n,
                                         std::ptrdiff_t m);
template <typename Index>
[[nodiscard]] bool fullTimesSparseOn(KernelPath path, double* P, const double* X,
                                     std::ptrdiff_t k, std::ptrdiff_t m, std::ptrdiff_t n,
                                     const Index* columnStart, const Index* rowIndex,
                                     const double* values);
template <typename Index>
[[nodiscard]] bool fullTimesSparseTransposedOn(KernelPath path, double* P, const double* X,
                                               std::ptrdiff_t k, std::ptrdiff_t m,
                                               std::ptrdiff_t n, const Index* columnStart,
                                               const Index* rowIndex, const double* values);

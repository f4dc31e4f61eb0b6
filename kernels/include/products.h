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
// One convention throughout: A (or S) is m×n, X has k rows; P = X·A takes a
// k×m X and gives a k×n P, P = X·Aᵀ a k×n X and a k×m P.
//
// A sparse matrix S (m×n) is in compressed columns: column j holds values[t]
// in rows rowIndex[t] for t = columnStart[j] … columnStart[j+1]−1. Its
// structure must be valid (validSparseColumns); it is not checked here.
// Index is the width the hosts use: std::int32_t (MATLAB with 32-bit array
// sizes) or std::int64_t (Octave, and MATLAB by default).

// P = X·A. False, with P untouched, when the scratch panel (about 256 KB)
// cannot be allocated.
[[nodiscard]] bool fullTimesFull(double* P, const double* X, const double* A, std::ptrdiff_t k,
                                 std::ptrdiff_t m, std::ptrdiff_t n);
// P = X·Aᵀ; each sum runs along a row of A. False as above.
[[nodiscard]] bool fullTimesTransposed(double* P, const double* X, const double* A,
                                       std::ptrdiff_t k, std::ptrdiff_t m, std::ptrdiff_t n);
// P = X·S: each sum runs over a column's entries in storage order.
template <typename Index>
void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                     std::ptrdiff_t n, const Index* columnStart, const Index* rowIndex,
                     const double* values);
// P = X·Sᵀ: each sum runs along a row of S, j increasing: the bits of
// fullTimesSparse with a transposed copy of S whose rows are sorted.
template <typename Index>
void fullTimesSparseTransposed(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                               std::ptrdiff_t n, const Index* columnStart,
                               const Index* rowIndex, const double* values);

// Whether columnStart (n+1 entries) and rowIndex describe an m×n matrix:
// columnStart[0] = 0, never decreasing, and every row index in [0, m), so
// that a product reads and writes only inside its arrays. Row order inside a
// column is free.
template <typename Index>
bool validSparseColumns(std::ptrdiff_t m, std::ptrdiff_t n, const Index* columnStart,
                        const Index* rowIndex);

// The same products on a named path, for tests and benchmarks: that path
// at every size, or false, with P untouched, when it is not one of this
// build's paths or this CPU cannot execute it (or, dense, when scratch
// cannot be allocated). The entry points above take a single row of P
// (k = 1, a sum of products) to the scalar path, whose row loop fills no
// vector lanes in vain; these do not.
[[nodiscard]] bool fullTimesFullOn(KernelPath path, double* P, const double* X, const double* A,
                                   std::ptrdiff_t k, std::ptrdiff_t m, std::ptrdiff_t n);
[[nodiscard]] bool fullTimesTransposedOn(KernelPath path, double* P, const double* X,
                                         const double* A, std::ptrdiff_t k, std::ptrdiff_t m,
                                         std::ptrdiff_t n);
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

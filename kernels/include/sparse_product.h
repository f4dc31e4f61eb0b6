#pragma once

#include <cstddef>
#include <cstdint>

// P = X·A for a full k×m matrix X (column-major) and an m×n sparse A in
// compressed columns: column j's entries are values[t] in rows rowIndex[t]
// for t = columnStart[j] … columnStart[j+1]−1. P is k×n and must not overlap
// the inputs. Each P(r,j) is one running sum from +0.0 over column j's
// entries in storage order (docs/operation-order.md), so the bits do not
// depend on the CPU or on how the rows are grouped. The structure must be
// valid (validSparseColumns); it is not checked here.
//
// One overload per index width the hosts use: 32-bit (MATLAB with 32-bit
// array sizes) and 64-bit (Octave).
void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                     std::ptrdiff_t n, const std::int32_t* columnStart,
                     const std::int32_t* rowIndex, const double* values);
void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                     std::ptrdiff_t n, const std::int64_t* columnStart,
                     const std::int64_t* rowIndex, const double* values);

// Whether columnStart (n+1 entries) and rowIndex describe an m×n matrix:
// columnStart[0] = 0, never decreasing, and every row index in [0, m), so
// that the product reads only inside X. Row order inside a column is free.
bool validSparseColumns(std::ptrdiff_t m, std::ptrdiff_t n, const std::int32_t* columnStart,
                        const std::int32_t* rowIndex);
bool validSparseColumns(std::ptrdiff_t m, std::ptrdiff_t n, const std::int64_t* columnStart,
                        const std::int64_t* rowIndex);

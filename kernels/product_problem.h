#pragma once

#include <cstddef>
#include <cstdint>

// What every path of the products works on. P = X·B, P k×n, X k×depth
// (column-major, columns k apart): each P(r,c) is one running sum from +0.0
// of X(r,s)·B(s,c) for s = 0, 1, … in increasing order. Lanes run across r,
// so no sum is ever split.

// B dense: A itself (depth×n) or, transposed, Aᵀ for an n×depth A.
struct DenseProduct {
    double* P;
    const double* X;
    const double* A;
    std::ptrdiff_t k, depth, n;
    bool transposed;

    // Column c of B when B is A itself.
    const double* bColumn(std::ptrdiff_t c) const { return A + c * depth; }
};

// B sparse in compressed columns: column j of S holds values[t] in rows
// rowIndex[t], t = columnStart[j] … columnStart[j+1]−1. Not transposed, B = S
// (depth×n) and each sum runs over column c's entries in storage order.
// Transposed, B = Sᵀ for an n×depth S: each sum runs over S's row c, j
// increasing, the order a transposed copy of S (rows sorted) would store.
template <typename Index>
struct SparseProduct {
    double* P;
    const double* X;
    std::ptrdiff_t k, depth, n;
    const Index* columnStart;
    const Index* rowIndex;
    const double* values;
    bool transposed;

    std::ptrdiff_t begin(std::ptrdiff_t j) const { return static_cast<std::ptrdiff_t>(columnStart[j]); }
    std::ptrdiff_t end(std::ptrdiff_t j) const { return static_cast<std::ptrdiff_t>(columnStart[j + 1]); }
    std::ptrdiff_t row(std::ptrdiff_t t) const { return static_cast<std::ptrdiff_t>(rowIndex[t]); }
};

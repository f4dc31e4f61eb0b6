#pragma once

#include <cstddef>
#include <cstdint>

// What every path of the products works on. P = X·B, P k×n, X k×depth
// (column-major, columns k apart): each P(r,c) is one running sum from +0.0
// of X(r,s)·B(s,c) for s = 0, 1, … in increasing order. Lanes run across r,
// so no sum is ever split.

// B dense: A itself (depth×n) or, transposed, Aᵀ for an n×depth A. A's
// columns lie `lda` apart, so that P's columns c0 … c0+n−1 of a larger
// product are a product of their own: A from column (or row) c0 on.
struct DenseProduct {
    double* P;
    const double* X;
    const double* A;
    std::ptrdiff_t k, depth, n, lda;
    bool transposed;

    // Column c of B when B is A itself.
    const double* bColumn(std::ptrdiff_t c) const { return A + c * lda; }
    // B(s,c) when B is Aᵀ.
    const double* transposedEntry(std::ptrdiff_t s, std::ptrdiff_t c) const { return A + c + s * lda; }

    // P's columns c0 … c1−1 alone.
    DenseProduct columns(std::ptrdiff_t c0, std::ptrdiff_t c1) const {
        return {P + c0 * k, X, transposed ? A + c0 : A + c0 * lda, k, depth, c1 - c0, lda, transposed};
    }
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

    // P's columns c0 … c1−1 alone; not for a transposed product, whose
    // columns each gather from every column of S.
    SparseProduct columns(std::ptrdiff_t c0, std::ptrdiff_t c1) const {
        return {P + c0 * k, X, k, depth, c1 - c0, columnStart + c0, rowIndex, values, false};
    }
};

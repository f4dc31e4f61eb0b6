#pragma once

#include <cstddef>
#include <cstdint>

// What every path of the products works on: P = X·A or P = X·Aᵀ for an m×n
// A, the sizes named as in products.h. Each P(r,c) is one running sum from
// +0.0 of X(r,s)·B(s,c), B = A or Aᵀ, for s = 0 … depth()−1 in increasing
// order; X has k rows and depth() columns, P k rows and width() columns,
// both column-major with columns k apart. Lanes run across r, so no sum is
// ever split.

// A dense, its columns `lda` apart (lda ≥ m), so that P's columns c0 …
// c1−1 of a larger product are a product of their own (columns()).
struct DenseProduct {
    double* P;
    const double* X;
    const double* A;
    std::ptrdiff_t k, m, n, lda;
    bool transposed;

    std::ptrdiff_t depth() const { return transposed ? n : m; }
    std::ptrdiff_t width() const { return transposed ? m : n; }
    // Column c of B when B is A itself.
    const double* bColumn(std::ptrdiff_t c) const { return A + c * lda; }
    // B(s,c) = A(c,s) when B is Aᵀ.
    const double* transposedEntry(std::ptrdiff_t s, std::ptrdiff_t c) const { return A + c + s * lda; }

    // P's columns c0 … c1−1 alone: A's columns, or its rows, from c0 on.
    DenseProduct columns(std::ptrdiff_t c0, std::ptrdiff_t c1) const {
        if (transposed) return {P + c0 * k, X, A + c0, k, c1 - c0, n, lda, true};
        return {P + c0 * k, X, A + c0 * lda, k, m, c1 - c0, lda, false};
    }
};

// A sparse in compressed columns, called S: column j holds values[t] in rows
// rowIndex[t], t = columnStart[j] … columnStart[j+1]−1. For S, each sum runs
// over column c's entries in storage order; for Sᵀ, over S's row c, j
// increasing, the order a transposed copy of S (rows sorted) would store.
template <typename Index>
struct SparseProduct {
    double* P;
    const double* X;
    std::ptrdiff_t k, m, n;
    const Index* columnStart;
    const Index* rowIndex;
    const double* values;
    bool transposed;

    std::ptrdiff_t depth() const { return transposed ? n : m; }
    std::ptrdiff_t width() const { return transposed ? m : n; }
    std::ptrdiff_t begin(std::ptrdiff_t j) const { return static_cast<std::ptrdiff_t>(columnStart[j]); }
    std::ptrdiff_t end(std::ptrdiff_t j) const { return static_cast<std::ptrdiff_t>(columnStart[j + 1]); }
    std::ptrdiff_t row(std::ptrdiff_t t) const { return static_cast<std::ptrdiff_t>(rowIndex[t]); }

    // P's columns c0 … c1−1 alone; not for Sᵀ, whose columns each gather
    // from every column of S.
    SparseProduct columns(std::ptrdiff_t c0, std::ptrdiff_t c1) const {
        return {P + c0 * k, X, k, m, c1 - c0, columnStart + c0, rowIndex, values, false};
    }
};

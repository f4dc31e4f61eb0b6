#pragma once

// Every product through `run`, bit for bit against the reference loops:
// rows across the lanes, tiles and bands of every layer, columns across
// tiles and packed blocks, depths across panels, on data with NaN, ±Inf and
// ±0 and sparse columns empty, full and out of row order.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bits.h"
#include "random_data.h"
#include "reference_kernels.h"

template <typename Index>
struct SparseMatrix {
    std::ptrdiff_t m, n;
    std::vector<Index> columnStart, rowIndex;
    std::vector<double> values;
};

template <typename Index>
SparseMatrix<Index> randomSparse(RandomData& random, std::ptrdiff_t m, std::ptrdiff_t n) {
    SparseMatrix<Index> S{m, n, {0}, {}, {}};
    for (std::ptrdiff_t j = 0; j < n; ++j) {
        std::vector<Index> rows;
        const std::size_t kind = random.pick(4);  // empty, full or some rows
        for (std::ptrdiff_t i = 0; i < m; ++i)
            if (kind == 1 || (kind > 1 && random.uniform() < 0.3)) rows.push_back(static_cast<Index>(i));
        if (random.pick(2) == 0) std::reverse(rows.begin(), rows.end());
        for (Index i : rows) {
            S.rowIndex.push_back(i);
            S.values.push_back(random.value(0.05));
        }
        S.columnStart.push_back(static_cast<Index>(S.rowIndex.size()));
    }
    return S;
}

struct ProductShape {
    std::ptrdiff_t k, depth, n;
};

inline std::vector<ProductShape> productShapes() {
    std::vector<ProductShape> shapes;
    const std::ptrdiff_t columnCounts[] = {1, 2, 5, 6, 7, 11, 12, 13, 23, 24, 25, 49};
    for (std::ptrdiff_t k = 1; k <= 34; ++k)
        shapes.push_back({k, 1 + (k * 7) % 23, columnCounts[k % std::size(columnCounts)]});
    for (std::ptrdiff_t n : columnCounts) shapes.push_back({20, 31, n});
    // Past one panel of X: depth beyond 32768 doubles over the padded rows.
    shapes.push_back({65, 1100, 3});
    shapes.push_back({3, 12000, 2});
    shapes.push_back({0, 5, 4});
    shapes.push_back({4, 0, 3});
    shapes.push_back({4, 5, 0});
    return shapes;
}

inline std::string describe(const ProductShape& s) {
    return "k " + std::to_string(s.k) + " depth " + std::to_string(s.depth) + " n " +
           std::to_string(s.n);
}

// Dense(P, X, A, k, m, n, transposed) computes X·A or X·Aᵀ for the m×n A and
// returns true; Sparse the same with S in compressed columns. Each shape's
// product has k rows, a shared index of `depth` and n columns.
template <class Dense, class Sparse32, class Sparse64>
void checkProducts(Dense dense, Sparse32 sparse32, Sparse64 sparse64) {
    RandomData random(2024);
    for (const ProductShape& s : productShapes()) {
        const std::vector<double> X = random.values(static_cast<std::size_t>(s.k * s.depth));
        const std::vector<double> A = random.values(static_cast<std::size_t>(s.depth * s.n));
        const std::size_t size = static_cast<std::size_t>(s.k * s.n);
        for (bool transposed : {false, true}) {
            // A is depth×n for X·A, n×depth for X·Aᵀ.
            const std::ptrdiff_t m = transposed ? s.n : s.depth, n = transposed ? s.depth : s.n;
            std::vector<double> P(size, 7.0), expected(size, 7.0);
            ASSERT_TRUE(dense(P.data(), X.data(), A.data(), s.k, m, n, transposed));
            if (transposed)
                reference::fullTimesTransposed(expected.data(), X.data(), A.data(), s.k, m, n);
            else
                reference::fullTimesFull(expected.data(), X.data(), A.data(), s.k, m, n);
            ASSERT_TRUE(sameBits(P, expected)) << describe(s) << (transposed ? " transposed" : "");
        }
        if (s.depth > 2000) continue;  // the sparse reference is slow there
        const auto S32 = randomSparse<std::int32_t>(random, s.depth, s.n);
        const auto S64 = randomSparse<std::int64_t>(random, s.depth, s.n);
        std::vector<double> P(size, 7.0), expected(size, 7.0);
        sparse32(P.data(), X.data(), s.k, S32, false);
        reference::fullTimesSparse(expected.data(), X.data(), s.k, s.n, S32.columnStart.data(),
                                   S32.rowIndex.data(), S32.values.data());
        ASSERT_TRUE(sameBits(P, expected)) << describe(s) << " sparse";
        sparse64(P.data(), X.data(), s.k, S64, false);
        reference::fullTimesSparse(expected.data(), X.data(), s.k, s.n, S64.columnStart.data(),
                                   S64.rowIndex.data(), S64.values.data());
        ASSERT_TRUE(sameBits(P, expected)) << describe(s) << " sparse, 64-bit indices";

        // Sᵀ: S is n×depth here, so X (k×depth) meets its rows.
        const auto T32 = randomSparse<std::int32_t>(random, s.n, s.depth);
        const auto T64 = randomSparse<std::int64_t>(random, s.n, s.depth);
        sparse32(P.data(), X.data(), s.k, T32, true);
        reference::fullTimesSparseTransposed(expected.data(), X.data(), s.k, s.n, s.depth,
                                             T32.columnStart.data(), T32.rowIndex.data(),
                                             T32.values.data());
        ASSERT_TRUE(sameBits(P, expected)) << describe(s) << " sparse transposed";
        sparse64(P.data(), X.data(), s.k, T64, true);
        reference::fullTimesSparseTransposed(expected.data(), X.data(), s.k, s.n, s.depth,
                                             T64.columnStart.data(), T64.rowIndex.data(),
                                             T64.values.data());
        ASSERT_TRUE(sameBits(P, expected)) << describe(s) << " sparse transposed, 64-bit";
    }
}

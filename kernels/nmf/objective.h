#pragma once

// The sums the objective is made of, each one running sum from +0.0 in
// storage order: the bits of the products with one row (a sum of
// products is such a product), with no vector lanes to split it.

#include <cmath>
#include <cstddef>

// Σ x·y.
inline double dot(const double* x, const double* y, std::ptrdiff_t count) {
    double sum = 0.0;
    for (std::ptrdiff_t i = 0; i < count; ++i) sum = sum + x[i] * y[i];
    return sum;
}

// Σ x·(g − b): the dot product with a difference formed entry by entry.
inline double dotWithDifference(const double* x, const double* g, const double* b,
                                std::ptrdiff_t count) {
    double sum = 0.0;
    for (std::ptrdiff_t i = 0; i < count; ++i) sum = sum + x[i] * (g[i] - b[i]);
    return sum;
}

// Σ X over a rows×columns X: each column's sum, then the sum of those.
inline double sumOfColumnSums(const double* X, std::ptrdiff_t rows, std::ptrdiff_t columns) {
    double total = 0.0;
    for (std::ptrdiff_t c = 0; c < columns; ++c) {
        double column = 0.0;
        for (std::ptrdiff_t r = 0; r < rows; ++r) column = column + X[r + c * rows];
        total = total + column;
    }
    return total;
}

// l1·ΣX + ½·l2·‖X‖², each term only when its weight is not zero.
inline double penaltyOf(const double* X, std::ptrdiff_t rows, std::ptrdiff_t columns, double l1,
                        double l2) {
    double p = 0.0;
    if (l1 != 0.0) p = l1 * sumOfColumnSums(X, rows, columns);
    if (l2 != 0.0) p = p + 0.5 * l2 * dot(X, X, rows * columns);
    return p;
}

inline double atLeastZero(double f) { return f < 0.0 ? 0.0 : f; }

// ½‖A − W·H‖² from its expansion ½‖A‖² − ⟨Wᵀ, H·Aᵀ⟩ + ½⟨WᵀW, H·Hᵀ⟩, with no
// m×n residual: Wt and HAt k×m, WWt and HHt k×k.
inline double expandedResidual(double norm2, const double* Wt, const double* HAt,
                               const double* WWt, const double* HHt, std::ptrdiff_t k,
                               std::ptrdiff_t m) {
    return atLeastZero(0.5 * norm2 - dot(Wt, HAt, k * m) + 0.5 * dot(WWt, HHt, k * k));
}

// ‖A − W·H‖/‖A‖ from that residual (0 for a zero A fitted exactly).
inline double relativeErrorOf(double residual, double norm2) {
    return residual == 0.0 ? 0.0 : std::sqrt(2.0 * residual) / std::sqrt(norm2);
}

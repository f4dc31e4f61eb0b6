#pragma once

// The products one entry at a time, in the order of product_problem.h. The
// innermost loops run across P's rows, so that a compiler may vectorise them
// without splitting any sum.

#include <cstddef>

#include "../product_problem.h"

namespace {
namespace scalar_product {

// B(s,c) of a B whose orientation the compiler knows.
template <bool transposed>
double bOf(const DenseProduct& p, std::ptrdiff_t s, std::ptrdiff_t c) {
    return transposed ? *p.transposedEntry(s, c) : p.bColumn(c)[s];
}

// One row of P (k = 1, a dot product per column): four columns' sums side
// by side in registers, so that four chains of adds overlap.
template <bool transposed>
void denseRow(const DenseProduct& p) {
    constexpr std::ptrdiff_t width = 4;
    std::ptrdiff_t c = 0;
    for (; c + width <= p.width(); c += width) {
        double sum[width] = {0.0, 0.0, 0.0, 0.0};
        for (std::ptrdiff_t s = 0; s < p.depth(); ++s) {
            const double x = p.X[s];
            for (std::ptrdiff_t b = 0; b < width; ++b)
                sum[b] = sum[b] + x * bOf<transposed>(p, s, c + b);
        }
        for (std::ptrdiff_t b = 0; b < width; ++b) p.P[c + b] = sum[b];
    }
    for (; c < p.width(); ++c) {
        double sum = 0.0;
        for (std::ptrdiff_t s = 0; s < p.depth(); ++s) sum = sum + p.X[s] * bOf<transposed>(p, s, c);
        p.P[c] = sum;
    }
}

template <bool transposed>
void denseRows(const DenseProduct& p) {
    for (std::ptrdiff_t c = 0; c < p.width(); ++c) {
        double* out = p.P + c * p.k;
        for (std::ptrdiff_t r = 0; r < p.k; ++r) out[r] = 0.0;
        for (std::ptrdiff_t s = 0; s < p.depth(); ++s) {
            const double* x = p.X + s * p.k;
            const double b = bOf<transposed>(p, s, c);
            for (std::ptrdiff_t r = 0; r < p.k; ++r) out[r] = out[r] + x[r] * b;
        }
    }
}

inline bool dense(const DenseProduct& p) {
    if (p.k == 1) {
        if (p.transposed) denseRow<true>(p);
        else denseRow<false>(p);
    } else {
        if (p.transposed) denseRows<true>(p);
        else denseRows<false>(p);
    }
    return true;
}

template <typename Index>
void sparse(const SparseProduct<Index>& p) {
    if (p.transposed) {
        for (std::ptrdiff_t s = 0; s < p.depth(); ++s) {
            const double* x = p.X + s * p.k;
            for (std::ptrdiff_t t = p.begin(s); t < p.end(s); ++t) {
                double* out = p.P + p.row(t) * p.k;
                const double a = p.values[t];
                for (std::ptrdiff_t r = 0; r < p.k; ++r) out[r] = out[r] + x[r] * a;
            }
        }
        return;
    }
    for (std::ptrdiff_t j = 0; j < p.width(); ++j) {
        double* out = p.P + j * p.k;
        for (std::ptrdiff_t r = 0; r < p.k; ++r) out[r] = 0.0;
        for (std::ptrdiff_t t = p.begin(j); t < p.end(j); ++t) {
            const double* x = p.X + p.row(t) * p.k;
            const double a = p.values[t];
            for (std::ptrdiff_t r = 0; r < p.k; ++r) out[r] = out[r] + x[r] * a;
        }
    }
}

}  // namespace scalar_product
}  // namespace

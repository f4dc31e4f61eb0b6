#pragma once

// The products one entry at a time, in the order of product_problem.h. The
// innermost loops run across P's rows, so that a compiler may vectorise them
// without splitting any sum.

#include <cstddef>

#include "../product_problem.h"

namespace {
namespace scalar_product {

inline bool dense(const DenseProduct& p) {
    for (std::ptrdiff_t c = 0; c < p.n; ++c) {
        double* out = p.P + c * p.k;
        for (std::ptrdiff_t r = 0; r < p.k; ++r) out[r] = 0.0;
        for (std::ptrdiff_t s = 0; s < p.depth; ++s) {
            const double* x = p.X + s * p.k;
            const double b = p.b(s, c);
            for (std::ptrdiff_t r = 0; r < p.k; ++r) out[r] = out[r] + x[r] * b;
        }
    }
    return true;
}

template <typename Index>
void sparse(const SparseProduct<Index>& p) {
    if (p.transposed) {
        for (std::ptrdiff_t s = 0; s < p.depth; ++s) {
            const double* x = p.X + s * p.k;
            for (std::ptrdiff_t t = p.begin(s); t < p.end(s); ++t) {
                double* out = p.P + p.row(t) * p.k;
                const double a = p.values[t];
                for (std::ptrdiff_t r = 0; r < p.k; ++r) out[r] = out[r] + x[r] * a;
            }
        }
        return;
    }
    for (std::ptrdiff_t j = 0; j < p.n; ++j) {
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

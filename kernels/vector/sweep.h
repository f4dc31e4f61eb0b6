#pragma once

// The forward sweep over a vector layer L: short columns go through
// sweep_columns.h, long ones through sweep_rows.h. Both give the bits of
// the scalar order.

#include <cstddef>
#include <cstdint>

#include "sweep_columns.h"
#include "sweep_rows.h"

namespace {
namespace vector_sweep {

template <class L, class Rule>
void sweep(double* X, const double* M, const double* C, double lambda, std::int32_t n,
           std::int32_t m) {
    const Rule rule(lambda);
    if (vector_sweep_columns::handles<L>(n))
        vector_sweep_columns::sweep<L>(X, M, C, rule, n, m);
    else
        vector_sweep_rows::sweep<L>(X, M, C, rule, n, m);
}

}  // namespace vector_sweep
}  // namespace

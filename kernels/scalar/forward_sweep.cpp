#include "../no_fp_contract.h"

#include <cstddef>
#include <cstdint>

#include "../paths.h"
#include "../sweep_rules.h"

namespace scalar_path {
namespace {

// Right-looking order: once x_j is known, M(r,j)·x_j is added into the running
// sums of rows r > j, which wait in the not-yet-final rows of X. Each row's sum
// still runs over l = 0 … j−1 in increasing order, starting from +0.0, and
// column j of M is read contiguously, once for `Columns` columns of C.
template <int Columns, class Rule>
void sweepColumns(double* X, const double* M, const double* C, Rule rule, std::ptrdiff_t rows,
                  std::ptrdiff_t i0) {
    double* x[Columns];
    const double* c[Columns];
    for (int b = 0; b < Columns; ++b) {
        x[b] = X + (i0 + b) * rows;
        c[b] = C + (i0 + b) * rows;
        for (std::ptrdiff_t r = 0; r < rows; ++r) x[b][r] = 0.0;
    }
    for (std::ptrdiff_t j = 0; j < rows; ++j) {
        const double* column = M + j * rows;
        const double d = column[j];
        double xj[Columns];
        for (int b = 0; b < Columns; ++b) {
            double q = -((x[b][j] + c[b][j]) / d);
            xj[b] = rule(q, d);
            x[b][j] = xj[b];
        }
        for (std::ptrdiff_t r = j + 1; r < rows; ++r)
            for (int b = 0; b < Columns; ++b) x[b][r] = x[b][r] + column[r] * xj[b];
    }
}

template <class Rule>
void sweep(double* X, const double* M, const double* C, Rule rule, std::int32_t n,
           std::int32_t m) {
    constexpr int kColumns = 4;
    std::ptrdiff_t i = 0;
    for (; i + kColumns <= m; i += kColumns) sweepColumns<kColumns>(X, M, C, rule, n, i);
    for (; i < m; ++i) sweepColumns<1>(X, M, C, rule, n, i);
}

}  // namespace

void hardThresholdSweep(double* X, const double* M, const double* C, double lambda,
                        std::int32_t n, std::int32_t m) {
    sweep(X, M, C, HardThresholdRule(lambda), n, m);
}

void nonNegativeSweep(double* X, const double* M, const double* C, std::int32_t n,
                      std::int32_t m) {
    sweep(X, M, C, NonNegativeRule(), n, m);
}

}  // namespace scalar_path

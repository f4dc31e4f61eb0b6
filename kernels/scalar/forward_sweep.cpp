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
// column j of M is read contiguously.
template <class Rule>
void sweep(double* X, const double* M, const double* C, Rule rule, std::int32_t n,
           std::int32_t m) {
    const std::ptrdiff_t rows = n;
    for (std::int32_t i = 0; i < m; ++i) {
        double* x = X + i * rows;
        const double* c = C + i * rows;
        for (std::ptrdiff_t r = 0; r < rows; ++r) x[r] = 0.0;
        for (std::ptrdiff_t j = 0; j < rows; ++j) {
            const double* column = M + j * rows;
            double d = column[j];
            double q = -((x[j] + c[j]) / d);
            double xj = rule(q, d);
            x[j] = xj;
            for (std::ptrdiff_t r = j + 1; r < rows; ++r) x[r] = x[r] + column[r] * xj;
        }
    }
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

// The products on every path against the reference loops, bit for bit.
#include <cstddef>
#include <cstdint>

#include <gtest/gtest.h>

#include "kernel_paths.h"
#include "product_checks.h"
#include "products.h"

namespace {

class Products : public EveryPath {};

template <typename Index>
void runSparse(KernelPath path, double* P, const double* X, std::ptrdiff_t k,
               const SparseMatrix<Index>& S, bool transposed) {
    const bool ran =
        transposed ? fullTimesSparseTransposedOn(path, P, X, k, S.m, S.n, S.columnStart.data(),
                                                 S.rowIndex.data(), S.values.data())
                   : fullTimesSparseOn(path, P, X, k, S.m, S.n, S.columnStart.data(),
                                       S.rowIndex.data(), S.values.data());
    ASSERT_TRUE(ran);
}

TEST_P(Products, MatchReference) {
    const KernelPath p = path();
    checkProducts(
        [p](double* P, const double* X, const double* A, std::ptrdiff_t k, std::ptrdiff_t m,
            std::ptrdiff_t n, bool transposed) {
            return transposed ? fullTimesTransposedOn(p, P, X, A, k, m, n)
                              : fullTimesFullOn(p, P, X, A, k, m, n);
        },
        [p](double* P, const double* X, std::ptrdiff_t k, const SparseMatrix<std::int32_t>& S,
            bool transposed) { runSparse(p, P, X, k, S, transposed); },
        [p](double* P, const double* X, std::ptrdiff_t k, const SparseMatrix<std::int64_t>& S,
            bool transposed) { runSparse(p, P, X, k, S, transposed); });
}

INSTANTIATE_FOR_EVERY_PATH(Products);

}  // namespace

// The AVX-512 path's schedules, with its tile sizes, over an emulated
// eight-lane layer: every CPU checks every tile edge of that path, bit for
// bit against the reference loops, even where AVX-512 itself cannot run.
#include "no_fp_contract.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "bits.h"
#include "kernel_table.h"
#include "kl_checks.h"
#include "product_checks.h"
#include "random_data.h"
#include "reference_kernels.h"
#include "simd_target.h"

// Unrolling the tiles is for registers, which the emulated layer does not
// use; unrolled, this file takes the compiler a minute.
#undef GREEDYSWEEP_UNROLL_TILE
#define GREEDYSWEEP_UNROLL_TILE

#include "emulated_layer.h"
#include "nmf_golden_runs.h"
#include "x86/avx512_tiles.h"
#include "vector/vector_kernels.h"

namespace {

using reference::Rule;
const KernelTable emulatedAvx512 = vectorKernels<emulated_layer::Layer<Avx512Tiles>>();

// Rows through the short-column blocks, the long-column tiles and the
// change-over between them; columns through groups and tiles.
TEST(EmulatedAvx512, SweepsMatchReference) {
    RandomData random(512);
    const std::int32_t columnCounts[] = {1, 7, 8, 9, 13, 16, 17, 23, 24, 25, 33, 47, 49};
    std::vector<std::int32_t> rowCounts;
    for (std::int32_t n = 1; n <= 40; ++n) rowCounts.push_back(n);
    constexpr std::int32_t limit = Avx512Tiles::shortSweepMaxRows;
    for (std::int32_t n = limit - 6; n <= limit + 2; ++n) rowCounts.push_back(n);
    for (std::int32_t n : rowCounts) {
        std::vector<double> M = random.values(static_cast<std::size_t>(n) * n, 0.002);
        for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = n + random.uniform();
        const std::int32_t m = columnCounts[random.pick(std::size(columnCounts))];
        const std::vector<double> C = random.values(static_cast<std::size_t>(n) * m, 0.002);
        const double lambda = random.uniform() * 0.01;
        for (Rule rule : {Rule::hardThreshold, Rule::nonNegative}) {
            std::vector<double> X(C.size(), 7.0), expected(C.size(), 7.0);
            (rule == Rule::hardThreshold ? emulatedAvx512.hardThresholdSweep
                                         : emulatedAvx512.nonNegativeSweep)(
                X.data(), M.data(), C.data(), lambda, n, m);
            reference::forwardSweep(rule, expected.data(), M.data(), C.data(), lambda, n, m);
            ASSERT_TRUE(sameBits(X, expected))
                << "n " << n << " m " << m << (rule == Rule::hardThreshold ? " hard" : " clip");
        }
    }
}

TEST(EmulatedAvx512, GreedyUpdateMatchesReference) {
    RandomData random(8);
    const double tols[] = {0.0, 1e-3, 0.5, -1.0};
    for (int trial = 0; trial < 200; ++trial) {
        const std::int32_t k = static_cast<std::int32_t>(random.pick(36));
        const std::int32_t n = 1 + static_cast<std::int32_t>(random.pick(11));
        const double specialRate = trial % 3 == 0 ? 0.0 : 0.05;
        std::vector<double> GW = random.values(k * n, specialRate);
        std::vector<double> HHt = random.values(k * k, specialRate);
        std::vector<double> W = random.values(k * n, specialRate);
        for (std::int32_t i = 0; i < k; ++i)
            if (random.uniform() < 0.9) HHt[i * (k + 1)] = 0.5 + random.uniform() * 4;
        const double tol = tols[random.pick(std::size(tols))];
        const std::int32_t maxinner = 1 + static_cast<std::int32_t>(random.pick(2 * k + 2));
        std::vector<double> expectedGW = GW, expectedW = W;
        ASSERT_TRUE(greedyCoordinateUpdateWith(emulatedAvx512, GW.data(), HHt.data(), W.data(),
                                               tol, n, k, maxinner));
        reference::greedyCoordinateUpdate(expectedGW.data(), HHt.data(), expectedW.data(), tol,
                                          n, k, maxinner);
        EXPECT_TRUE(sameBits(W, expectedW)) << "trial " << trial << " k " << k << " n " << n;
        EXPECT_TRUE(sameBits(GW, expectedGW)) << "trial " << trial << " k " << k << " n " << n;
    }
}

template <typename Index>
void emulatedSparse(double* P, const double* X, std::ptrdiff_t k, const SparseMatrix<Index>& S,
                    bool transposed) {
    sparseProductWith(emulatedAvx512, SparseProduct<Index>{P, X, k, S.m, S.n, S.columnStart.data(),
                                                           S.rowIndex.data(), S.values.data(),
                                                           transposed});
}

TEST(EmulatedAvx512, ProductsMatchReference) {
    checkProducts(
        [](double* P, const double* X, const double* A, std::ptrdiff_t k, std::ptrdiff_t m,
           std::ptrdiff_t n, bool transposed) {
            return denseProductWith(emulatedAvx512, {P, X, A, k, m, n, m, transposed});
        },
        emulatedSparse<std::int32_t>, emulatedSparse<std::int64_t>);
}

// The solvers over the same table, at every thread count.
TEST(EmulatedAvx512, KlLoopsMatchReference) { checkKlLoops(emulatedAvx512, 512); }

TEST(EmulatedAvx512, SolversGiveTheGoldenHashes) {
    const SolverSetup setup{&emulatedAvx512, &emulatedAvx512, 0, 0};
    for (const golden::Run& run : golden::runs)
        for (int threads : golden::threadCounts)
            EXPECT_EQ(golden::outcomeOf(run, setup, threads).hash, run.hash)
                << (run.projection ? "projection, " : "") << (run.sparse ? "sparse" : "dense")
                << ", " << threads << " threads";
}

}  // namespace

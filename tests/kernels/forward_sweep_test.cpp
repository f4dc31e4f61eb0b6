#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "bits.h"
#include "forward_sweep.h"
#include "kernel_paths.h"
#include "random_data.h"
#include "reference_kernels.h"
#include "arm/neon_tiles.h"
#include "x86/avx2_tiles.h"
#include "x86/avx512_tiles.h"

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
using reference::Rule;

std::vector<double> sweep(KernelPath path, Rule rule, const std::vector<double>& M,
                          const std::vector<double>& C, double lambda, std::int32_t n,
                          std::int32_t m) {
    std::vector<double> X(C.size(), 12345.0);
    const bool done =
        rule == Rule::hardThreshold
            ? hardThresholdSweepOn(path, X.data(), M.data(), C.data(), lambda, n, m)
            : nonNegativeSweepOn(path, X.data(), M.data(), C.data(), lambda, n, m);
    EXPECT_TRUE(done) << kernelPathName(path) << " refused";
    return X;
}

std::vector<double> referenceSweep(Rule rule, const std::vector<double>& M,
                                   const std::vector<double>& C, double lambda, std::int32_t n,
                                   std::int32_t m) {
    std::vector<double> X(C.size(), 12345.0);
    reference::forwardSweep(rule, X.data(), M.data(), C.data(), lambda, n, m);
    return X;
}

class ForwardSweep : public EveryPath {
protected:
    std::vector<double> hard(const std::vector<double>& M, const std::vector<double>& C,
                             double lambda, std::int32_t n, std::int32_t m) {
        return sweep(path(), Rule::hardThreshold, M, C, lambda, n, m);
    }
    std::vector<double> clip(const std::vector<double>& M, const std::vector<double>& C,
                             double lambda, std::int32_t n, std::int32_t m) {
        return sweep(path(), Rule::nonNegative, M, C, lambda, n, m);
    }
};

TEST_P(ForwardSweep, RunningSumKeepsItsOrder) {
    // Row 5's sum is ((((1e16 + 1) − 1e16) + 1) + 1) = 2; any other order gives 1 or 3.
    std::vector<double> M(36, 0.0);
    for (int j = 0; j < 6; ++j) M[j * 7] = 1.0;
    const double row5[] = {1e16, 1, -1e16, 1, 1};
    for (int l = 0; l < 5; ++l) M[5 + l * 6] = row5[l];
    const std::vector<double> C{-1, -1, -1, -1, -1, -10};
    EXPECT_TRUE(sameBits(hard(M, C, 0.0, 6, 1), {1, 1, 1, 1, 1, 8}));
    EXPECT_TRUE(sameBits(clip(M, C, 0.0, 6, 1), {1, 1, 1, 1, 1, 8}));
}

TEST_P(ForwardSweep, HardThresholdZeroesOnTieAndUnderflow) {
    EXPECT_TRUE(sameBits(hard({2}, {-2}, 1.0, 1, 1), {0.0}));
    EXPECT_TRUE(sameBits(hard({2}, {-2}, 0.99, 1, 1), {1.0}));
    EXPECT_TRUE(sameBits(hard({1}, {-1e-170}, 0.0, 1, 1), {0.0}));
    EXPECT_TRUE(sameBits(hard({-1}, {3}, 0.0, 1, 1), {0.0}));  // negative curvature
    EXPECT_TRUE(sameBits(hard({0}, {3}, 0.0, 1, 1), {-inf}));  // p is NaN: kept
}

TEST_P(ForwardSweep, HardThresholdSpecialLambdas) {
    const std::vector<double> M{1, 0.5, 0, 2};
    const std::vector<double> C{-1e-3, 0.1, -4, 3};
    const std::vector<double> keptAll = hard(M, C, nan, 2, 2);
    for (double x : keptAll) EXPECT_NE(x, 0.0);
    EXPECT_TRUE(sameBits(hard(M, C, inf, 2, 2), {0, 0, 0, 0}));
    // Infinite q has a NaN p, which even lambda = +Inf keeps.
    EXPECT_TRUE(sameBits(hard({0}, {-1}, inf, 1, 1), {inf}));
}

TEST_P(ForwardSweep, ClippedZeroFeedsLaterRows) {
    const std::vector<double> M{1, 1, 0, 1};
    EXPECT_TRUE(sameBits(clip(M, {1, -3}, 0.0, 2, 1), {0, 3}));
    EXPECT_TRUE(sameBits(clip(M, {1, -3}, 99.0, 2, 1), {0, 3}));  // lambda is ignored
}

TEST_P(ForwardSweep, SignedZeros) {
    // The sum starts at +0: +0 + (−0) = +0, and the leading minus flips it.
    EXPECT_TRUE(sameBits(clip({1}, {-0.0}, 0.0, 1, 1), {-0.0}));
    EXPECT_TRUE(sameBits(clip({1}, {0.0}, 0.0, 1, 1), {-0.0}));
    EXPECT_TRUE(sameBits(hard({1}, {-0.0}, 0.0, 1, 1), {0.0}));
    const std::vector<double> M{2, 1, 1, 1, 3, 1, 1, 1, 4};
    EXPECT_TRUE(sameBits(clip(M, {0, 0, 0}, 0.0, 3, 1), {-0.0, -0.0, -0.0}));
    EXPECT_TRUE(sameBits(hard(M, {0, 0, 0}, 0.5, 3, 1), {0.0, 0.0, 0.0}));
}

TEST_P(ForwardSweep, NaNStaysInItsColumn) {
    const std::vector<double> M{1, 0, 0, 1};  // no coupling at all
    const std::vector<double> X = clip(M, {nan, 1, -1, -2}, 0.0, 2, 2);
    EXPECT_TRUE(std::isnan(X[0]) && std::isnan(X[1]));  // 0·NaN is NaN
    EXPECT_TRUE(sameBits({X[2], X[3]}, {1, 2}));
}

TEST_P(ForwardSweep, UpperTriangleIsNeverRead) {
    RandomData random(5);
    const std::int32_t n = 9, m = 4;
    std::vector<double> M = random.values(n * n, 0), C = random.values(n * m, 0);
    for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = 1 + random.uniform();
    std::vector<double> poisoned = M;
    for (std::int32_t l = 1; l < n; ++l)
        for (std::int32_t j = 0; j < l; ++j) poisoned[j + l * n] = nan;
    EXPECT_TRUE(sameBits(hard(poisoned, C, 0.1, n, m), hard(M, C, 0.1, n, m)));
    EXPECT_TRUE(sameBits(clip(poisoned, C, 0.1, n, m), clip(M, C, 0.1, n, m)));
    for (double x : clip(poisoned, C, 0.1, n, m)) EXPECT_FALSE(std::isnan(x));
}

TEST_P(ForwardSweep, EmptySizesWriteNothing) {
    const std::vector<double> M{1, 0, 0, 1}, C{1, 2, 3, 4};
    const std::vector<double> untouched(4, 12345.0);
    const std::int32_t sizes[][2] = {{0, 2}, {2, 0}, {-1, 2}, {2, -1},
                                     {std::numeric_limits<std::int32_t>::min(), 2}};
    for (const auto& size : sizes) {
        EXPECT_TRUE(sameBits(hard(M, C, 0.0, size[0], size[1]), untouched));
        EXPECT_TRUE(sameBits(clip(M, C, 0.0, size[0], size[1]), untouched));
    }
}

TEST_P(ForwardSweep, MatchesReferenceBitForBit) {
    RandomData random(99);
    const double lambdas[] = {0.0, 0.3, 2.0, -1.0, nan, inf, -inf};
    for (int trial = 0; trial < 300; ++trial) {
        const std::int32_t n = static_cast<std::int32_t>(random.pick(trial < 40 ? 3 : 40));
        const std::int32_t m = static_cast<std::int32_t>(random.pick(trial < 40 ? 3 : 11));
        const double specialRate = (trial % 3 == 0) ? 0.0 : 0.03;
        std::vector<double> M = random.values(n * n, specialRate);
        for (std::int32_t j = 0; j < n; ++j)
            if (random.uniform() < 0.9) M[j * (n + 1)] = 0.5 + 4 * random.uniform();
        const std::vector<double> C = random.values(n * m, specialRate);
        const double lambda = lambdas[random.pick(std::size(lambdas))];
        for (Rule rule : {Rule::hardThreshold, Rule::nonNegative})
            EXPECT_TRUE(sameBits(sweep(path(), rule, M, C, lambda, n, m),
                                 referenceSweep(rule, M, C, lambda, n, m)))
                << "trial " << trial << " n " << n << " m " << m << " lambda " << lambda
                << (rule == Rule::hardThreshold ? " hard" : " clip");
    }
}

// Sizes that cut the row tiles and column groups of the vector paths at every
// remainder, with the diagonal well away from zero so values stay finite and
// any reordering of a running sum would show in the low bits.
TEST_P(ForwardSweep, EveryTileRemainderMatchesReference) {
    RandomData random(314);
    const std::int32_t columnCounts[] = {1,  2,  3,  4,  5,  7,  8,  11, 12, 13,
                                         16, 23, 24, 25, 35, 36, 37, 47, 48, 49};
    for (std::int32_t n = 1; n <= 70; ++n) {
        std::vector<double> M = random.values(n * n, 0);
        for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = n + random.uniform();
        for (std::int32_t m : columnCounts) {
            const std::vector<double> C = random.values(n * m, n % 5 == 0 ? 0.05 : 0.0);
            const double lambda = random.uniform() * 0.01;
            for (Rule rule : {Rule::hardThreshold, Rule::nonNegative})
                ASSERT_TRUE(sameBits(sweep(path(), rule, M, C, lambda, n, m),
                                     referenceSweep(rule, M, C, lambda, n, m)))
                    << "n " << n << " m " << m
                    << (rule == Rule::hardThreshold ? " hard" : " clip");
        }
    }
}

// The vector paths take at most a few hundred columns through M at a time,
// and l in runs of a few hundred: many columns end chunks on and off a
// column-group boundary, and large n cuts l into several runs.
TEST_P(ForwardSweep, ColumnChunksAndLongRowsMatchReference) {
    RandomData random(2718);
    const std::int32_t shapes[][2] = {{3, 389},  {9, 397},  {20, 410},
                                      {300, 23}, {601, 13}, {1100, 5}};
    for (const auto& shape : shapes) {
        const std::int32_t n = shape[0], m = shape[1];
        std::vector<double> M = random.values(static_cast<std::size_t>(n) * n, 0);
        for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = n + random.uniform();
        const std::vector<double> C = random.values(static_cast<std::size_t>(n) * m, 0);
        for (Rule rule : {Rule::hardThreshold, Rule::nonNegative})
            EXPECT_TRUE(sameBits(sweep(path(), rule, M, C, 1e-4, n, m),
                                 referenceSweep(rule, M, C, 1e-4, n, m)))
                << "n " << n << " m " << m << (rule == Rule::hardThreshold ? " hard" : " clip");
    }
}

// Short and long columns take different schedules on the vector paths,
// which change over at each layer's limit (every limit and one past it are
// here); past that, the row tiles of the long schedule end at every remainder.
TEST_P(ForwardSweep, EveryScheduleAndRowTileMatchesReference) {
    RandomData random(1618);
    std::set<std::int32_t> rowCounts;
    for (std::int32_t n = 150; n <= 300; n += (n < 180 || n > 250) ? 1 : 7) rowCounts.insert(n);
    for (std::int32_t limit : {Avx2Tiles::shortSweepMaxRows, Avx512Tiles::shortSweepMaxRows,
                               NeonTiles::shortSweepMaxRows}) {
        rowCounts.insert(limit);
        rowCounts.insert(limit + 1);
    }
    for (std::int32_t n : rowCounts) {
        std::vector<double> M = random.values(static_cast<std::size_t>(n) * n, 0.001);
        for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = n + random.uniform();
        const std::int32_t m = 1 + static_cast<std::int32_t>(random.pick(30));
        const std::vector<double> C = random.values(static_cast<std::size_t>(n) * m, 0.001);
        for (Rule rule : {Rule::hardThreshold, Rule::nonNegative})
            ASSERT_TRUE(sameBits(sweep(path(), rule, M, C, 1e-4, n, m),
                                 referenceSweep(rule, M, C, 1e-4, n, m)))
                << "n " << n << " m " << m << (rule == Rule::hardThreshold ? " hard" : " clip");
    }
}

TEST_P(ForwardSweep, WritesOnlyItsOwnColumns) {
    RandomData random(8);
    for (std::int32_t n : {3, 8, 13}) {
        for (std::int32_t m : {1, 5, 9, 17}) {
            std::vector<double> M = random.values(n * n, 0), C = random.values(n * m, 0);
            for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = 2.0;
            const std::size_t size = static_cast<std::size_t>(n * m);
            std::vector<double> X(size + 64, -7.0);
            ASSERT_TRUE(nonNegativeSweepOn(path(), X.data(), M.data(), C.data(), 0.0, n, m));
            for (std::size_t i = size; i < X.size(); ++i)
                ASSERT_EQ(X[i], -7.0) << "n " << n << " m " << m << " wrote past the end at " << i;
            X.resize(size);
            EXPECT_TRUE(sameBits(X, referenceSweep(Rule::nonNegative, M, C, 0.0, n, m)));
        }
    }
}

// A NaN in one column must not leak into the columns that share its tile.
TEST_P(ForwardSweep, NaNStaysInItsColumnWithinATile) {
    RandomData random(17);
    const std::int32_t n = 11, m = 19;
    std::vector<double> M = random.values(n * n, 0), C = random.values(n * m, 0);
    for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = 3.0;
    C[2 + 6 * n] = nan;
    for (Rule rule : {Rule::hardThreshold, Rule::nonNegative}) {
        const std::vector<double> X = sweep(path(), rule, M, C, 0.0, n, m);
        for (std::int32_t i = 0; i < m; ++i)
            for (std::int32_t j = 0; j < n; ++j)
                EXPECT_EQ(std::isnan(X[j + i * n]), i == 6 && j >= 2)
                    << "row " << j << " column " << i;
    }
}

// X is output and scratch: whatever it holds at entry (here NaN or huge
// values) must not reach the result, even where partial sums wait in it.
TEST_P(ForwardSweep, ResultDoesNotDependOnXAtEntry) {
    RandomData random(4);
    for (const auto& shape : {std::pair{37, 29}, std::pair{600, 7}}) {
        const auto [n, m] = shape;
        std::vector<double> M = random.values(static_cast<std::size_t>(n) * n, 0);
        for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = n + random.uniform();
        const std::vector<double> C = random.values(static_cast<std::size_t>(n) * m, 0);
        const std::vector<double> expected = referenceSweep(Rule::hardThreshold, M, C, 0.0, n, m);
        for (double fill : {nan, 1e300, -inf}) {
            std::vector<double> X(C.size(), fill);
            ASSERT_TRUE(hardThresholdSweepOn(path(), X.data(), M.data(), C.data(), 0.0, n, m));
            EXPECT_TRUE(sameBits(X, expected)) << "n " << n << " X filled with " << fill;
        }
    }
}

// The rules run lane by lane across columns: an exact tie, a clipped zero and
// a signed zero must come out the same in every column of a tile.
TEST_P(ForwardSweep, RulesHoldInEveryColumnOfATile) {
    const std::int32_t n = 9, m = 30;
    std::vector<double> M(n * n, 0.0);
    for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = 2.0;
    const std::vector<double> minusTwo(n * m, -2.0), zeros(n * m, 0.0);
    // q = 1 and p = 2 everywhere: lambda = 1 ties and zeroes, 0.99 keeps.
    EXPECT_TRUE(sameBits(hard(M, minusTwo, 1.0, n, m), std::vector<double>(n * m, 0.0)));
    EXPECT_TRUE(sameBits(hard(M, minusTwo, 0.99, n, m), std::vector<double>(n * m, 1.0)));
    EXPECT_TRUE(sameBits(clip(M, zeros, 0.0, n, m), std::vector<double>(n * m, -0.0)));
    EXPECT_TRUE(sameBits(clip(M, std::vector<double>(n * m, 2.0), 0.0, n, m),
                         std::vector<double>(n * m, 0.0)));
}

// A NaN in a position of M that is read reaches every column, including the
// last, partly filled group of columns.
TEST_P(ForwardSweep, NaNInMReachesEveryColumn) {
    RandomData random(23);
    const std::int32_t n = 10, m = 27;
    std::vector<double> M = random.values(n * n, 0);
    for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = 4.0;
    M[7 + 3 * n] = nan;  // row 7 reads it
    const std::vector<double> C = random.values(n * m, 0);
    const std::vector<double> X = clip(M, C, 0.0, n, m);
    for (std::int32_t i = 0; i < m; ++i)
        for (std::int32_t j = 0; j < n; ++j)
            EXPECT_EQ(std::isnan(X[j + i * n]), j >= 7) << "row " << j << " column " << i;
}

INSTANTIATE_FOR_EVERY_PATH(ForwardSweep);

// The entry points dispatch to their own path, which must give the bits of
// the reference like every named path.
TEST(ForwardSweepEntryPoints, DispatchedSweepsMatchReference) {
    RandomData random(31);
    const std::int32_t n = 45, m = 33;
    std::vector<double> M = random.values(n * n), C = random.values(n * m);
    for (std::int32_t j = 0; j < n; ++j) M[j * (n + 1)] = 1 + random.uniform();
    std::vector<double> X(C.size());
    hardThresholdSweep(X.data(), M.data(), C.data(), 0.25, n, m);
    EXPECT_TRUE(sameBits(X, referenceSweep(Rule::hardThreshold, M, C, 0.25, n, m)));
    nonNegativeSweep(X.data(), M.data(), C.data(), 0.25, n, m);
    EXPECT_TRUE(sameBits(X, referenceSweep(Rule::nonNegative, M, C, 0.25, n, m)));
}

TEST(ForwardSweepEntryPoints, UseTheirOwnRule) {
    const std::vector<double> M{1}, C{2};
    std::vector<double> X{0};
    hardThresholdSweep(X.data(), M.data(), C.data(), 0.0, 1, 1);
    EXPECT_TRUE(sameBits(X, {-2}));
    nonNegativeSweep(X.data(), M.data(), C.data(), 0.0, 1, 1);
    EXPECT_TRUE(sameBits(X, {0}));
}

}  // namespace

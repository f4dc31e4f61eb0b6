#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "bits.h"
#include "greedy_coordinate_update.h"
#include "greedy_problem.h"
#include "kernel_paths.h"
#include "kernel_table.h"
#include "random_data.h"
#include "reference_kernels.h"

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct Greedy {
    std::vector<double> GW, HHt, W;
    double tol;
    std::int32_t n, k, maxinner;

    void run(KernelPath path) {
        EXPECT_TRUE(
            greedyCoordinateUpdateOn(path, GW.data(), HHt.data(), W.data(), tol, n, k, maxinner));
    }
    void runReference() {
        reference::greedyCoordinateUpdate(GW.data(), HHt.data(), W.data(), tol, n, k, maxinner);
    }
};

class GreedyUpdate : public EveryPath {};

TEST_P(GreedyUpdate, OneByOneTrace) {
    Greedy g{{4}, {2}, {3}, 0.5, 1, 1, 2};
    g.run(path());
    EXPECT_TRUE(sameBits(g.W, {1}));
    EXPECT_TRUE(sameBits(g.GW, {0}));
}

TEST_P(GreedyUpdate, TwoByTwoTraceStopsOnCapOrTolerance) {
    struct Case {
        std::int32_t maxinner;
        std::vector<double> W, GW;
    };
    const Case cases[] = {{1, {0, 2}, {-1, 0}},
                          {2, {0.5, 2}, {0, 0.25}},
                          {3, {0.5, 1.75}, {-0.125, 0}},
                          {100, {0.5, 1.75}, {-0.125, 0}}};
    for (const Case& c : cases) {
        Greedy g{{-2, -2}, {2, 0.5, 0.5, 1}, {0, 0}, 0.1, 1, 2, c.maxinner};
        g.run(path());
        EXPECT_TRUE(sameBits(g.W, c.W)) << "maxinner " << c.maxinner;
        EXPECT_TRUE(sameBits(g.GW, c.GW)) << "maxinner " << c.maxinner;
    }
}

TEST_P(GreedyUpdate, EqualReductionsMoveTheLowerRow) {
    // Both rows would drop the objective by exactly 2; row 0 moves first, and
    // the coupling makes row 1 no longer worth moving.
    Greedy g{{-2, -2}, {1, 1, 1, 1}, {0, 0}, 0.0, 1, 2, 5};
    g.run(path());
    EXPECT_TRUE(sameBits(g.W, {2, 0}));
    EXPECT_TRUE(sameBits(g.GW, {0, 0}));
}

TEST_P(GreedyUpdate, NothingMovesWithoutWork) {
    RandomData random(7);
    const std::int32_t k = 3, n = 4;
    const Greedy start{random.values(k * n, 0), random.values(k * k, 0), random.values(k * n, 0),
                       0.0, n, k, 10};
    struct Case {
        const char* what;
        std::int32_t n, k, maxinner;
    };
    const Case cases[] = {{"n = 0", 0, k, 10},
                          {"n < 0", -3, k, 10},
                          {"k = 0", n, 0, 10},
                          {"maxinner = 0", n, k, 0},
                          {"maxinner < 0", n, k, -5},
                          {"maxinner = INT32_MIN", n, k, std::numeric_limits<std::int32_t>::min()}};
    for (const Case& c : cases) {
        Greedy g = start;
        g.n = c.n;
        g.k = c.k;
        g.maxinner = c.maxinner;
        g.run(path());
        EXPECT_TRUE(sameBits(g.W, start.W)) << c.what;
        EXPECT_TRUE(sameBits(g.GW, start.GW)) << c.what;
    }
}

TEST_P(GreedyUpdate, OptimalStartMakesNoMove) {
    // GW ≥ 0 where W = 0 and GW = 0 where W > 0: the KKT conditions hold.
    Greedy g{{0, 3, 1, 0}, {2, 1, 1, 2}, {1.5, 0, 0, 4}, 0.0, 2, 2, 10};
    const Greedy start = g;
    g.run(path());
    EXPECT_TRUE(sameBits(g.W, start.W));
    EXPECT_TRUE(sameBits(g.GW, start.GW));
}

TEST_P(GreedyUpdate, NegativeEntryIsMovedToFeasibleSide) {
    // The candidate −2 + 1.5 is clamped to 0.
    Greedy g{{-1.5}, {1}, {-2}, 0.0, 1, 1, 1};
    g.run(path());
    EXPECT_TRUE(sameBits(g.W, {0}));
    EXPECT_TRUE(sameBits(g.GW, {0.5}));
}

// GW(:,j) − HHt·W(:,j) is the fixed linear term; on integer data with a unit
// diagonal every step is an integer and the invariant holds exactly.
TEST_P(GreedyUpdate, GradientStaysInStepWithW) {
    RandomData random(11);
    const std::int32_t k = 7, n = 9;
    auto smallInteger = [&](int range) { return static_cast<double>(static_cast<int>(random.pick(2 * range + 1)) - range); };
    std::vector<double> HHt(k * k);
    for (std::int32_t a = 0; a < k; ++a)
        for (std::int32_t b = 0; b <= a; ++b)
            HHt[a + b * k] = HHt[b + a * k] = (a == b) ? 1.0 : smallInteger(2);
    std::vector<double> W(k * n), GW(k * n);
    for (double& v : W) v = static_cast<double>(random.pick(4));
    for (double& v : GW) v = smallInteger(20);

    auto linearTerm = [&](const Greedy& g) {
        std::vector<double> b(k * n);
        for (std::int32_t j = 0; j < n; ++j)
            for (std::int32_t i = 0; i < k; ++i) {
                long long hw = 0;
                for (std::int32_t l = 0; l < k; ++l)
                    hw += static_cast<long long>(g.HHt[i + l * k]) * static_cast<long long>(g.W[l + j * k]);
                b[i + j * k] = g.GW[i + j * k] - static_cast<double>(hw);
            }
        return b;
    };
    Greedy g{GW, HHt, W, 0.0, n, k, 4};
    const std::vector<double> before = linearTerm(g);
    g.run(path());
    EXPECT_FALSE(sameBits(g.W, W)) << "the data should make some moves";
    EXPECT_TRUE(sameBits(linearTerm(g), before));
}

TEST_P(GreedyUpdate, MatchesReferenceBitForBit) {
    RandomData random(2024);
    const double tols[] = {0.0, 1e-3, 0.1, 0.5, 2.0, -1.0, nan};
    const std::int32_t maxinners[] = {-1, 0, 1, 2, 5, 50};
    for (int trial = 0; trial < 400; ++trial) {
        const std::int32_t k = static_cast<std::int32_t>(random.pick(trial < 50 ? 3 : 12));
        const std::int32_t n = static_cast<std::int32_t>(random.pick(trial < 50 ? 3 : 9));
        const double specialRate = (trial % 4 == 0) ? 0.0 : 0.08;
        Greedy g{random.values(k * n, specialRate), random.values(k * k, specialRate),
                 random.values(k * n, specialRate), tols[random.pick(std::size(tols))], n, k,
                 maxinners[random.pick(std::size(maxinners))]};
        // Mostly positive diagonals, as a Hessian has, but keep some zero and negative ones.
        for (std::int32_t i = 0; i < k; ++i)
            if (random.uniform() < 0.8) g.HHt[i * (k + 1)] = 0.5 + random.uniform() * 4;
        Greedy expected = g;
        g.run(path());
        expected.runReference();
        EXPECT_TRUE(sameBits(g.W, expected.W)) << "trial " << trial << " k " << k << " n " << n;
        EXPECT_TRUE(sameBits(g.GW, expected.GW)) << "trial " << trial << " k " << k << " n " << n;
    }
}

// Every vector remainder of k, on a factorisation-like problem (HHt = H·Hᵀ,
// W ≥ 0) and on small-integer data whose reductions tie often, so that the
// lowest-row rule is exercised across lanes and chunks.
TEST_P(GreedyUpdate, EveryRowRemainderMatchesReference) {
    RandomData random(77);
    for (std::int32_t k = 0; k <= 40; ++k) {
        const std::int32_t n = 3;
        std::vector<double> H(static_cast<std::size_t>(k) * 5);
        for (double& v : H) v = random.uniform();
        Greedy smooth{std::vector<double>(k * n), std::vector<double>(k * k),
                      std::vector<double>(k * n), 1e-3, n, k, k};
        for (std::int32_t a = 0; a < k; ++a)
            for (std::int32_t b = 0; b < k; ++b) {
                double sum = 0.0;
                for (std::int32_t l = 0; l < 5; ++l) sum += H[a + l * k] * H[b + l * k];
                smooth.HHt[a + b * k] = sum;
            }
        for (double& v : smooth.W) v = random.uniform();
        for (double& v : smooth.GW) v = random.value(0);

        Greedy ties{std::vector<double>(k * n), std::vector<double>(k * k, 0.0),
                    std::vector<double>(k * n), 0.0, n, k, 2 * k + 3};
        for (std::int32_t i = 0; i < k; ++i) ties.HHt[i * (k + 1)] = 1.0;
        for (double& v : ties.HHt)
            if (v == 0.0 && random.uniform() < 0.2) v = 0.5;
        for (double& v : ties.W) v = static_cast<double>(random.pick(3));
        for (double& v : ties.GW) v = static_cast<double>(random.pick(3)) - 2.0;

        for (Greedy* g : {&smooth, &ties}) {
            Greedy expected = *g;
            g->run(path());
            expected.runReference();
            ASSERT_TRUE(sameBits(g->W, expected.W)) << "k " << k << (g == &ties ? " ties" : "");
            ASSERT_TRUE(sameBits(g->GW, expected.GW)) << "k " << k << (g == &ties ? " ties" : "");
        }
    }
}

// All rows tie at every scan: the moves must go to rows 0, 1, 2, … in turn,
// whichever lane or chunk holds them.
TEST_P(GreedyUpdate, TiesAcrossLanesMoveTheLowestRow) {
    for (std::int32_t k : {5, 9, 17, 33}) {
        std::vector<double> HHt(k * k, 0.0);
        for (std::int32_t i = 0; i < k; ++i) HHt[i * (k + 1)] = 1.0;
        for (std::int32_t moves = 1; moves < k; moves += 3) {
            Greedy g{std::vector<double>(k, -2.0), HHt, std::vector<double>(k, 0.0), 0.0, 1, k,
                     moves};
            g.run(path());
            for (std::int32_t i = 0; i < k; ++i)
                ASSERT_EQ(g.W[i], i < moves ? 2.0 : 0.0) << "k " << k << " moves " << moves;
        }
    }
}

// Reductions that are NaN anywhere, including the lane a maximum would
// otherwise come from, are never chosen and never raise the reference.
TEST_P(GreedyUpdate, NaNReductionsAreNeverChosen) {
    for (std::int32_t k : {3, 8, 12}) {
        std::vector<double> HHt(k * k, 0.0);
        for (std::int32_t i = 0; i < k; ++i) HHt[i * (k + 1)] = 1.0;
        Greedy g{std::vector<double>(k, nan), HHt, std::vector<double>(k, 0.0), 0.5, 1, k, 4};
        g.GW[k - 1] = -1.0;  // the one real move: reduction 0.5
        g.run(path());
        for (std::int32_t i = 0; i + 1 < k; ++i) EXPECT_EQ(g.W[i], 0.0) << "k " << k;
        EXPECT_EQ(g.W[k - 1], 1.0) << "k " << k;
    }
}

// Columns that need very different numbers of moves, side by side: some
// optimal at entry, some poisoned with NaN, some running to the cap. Each
// must end as it would alone.
TEST_P(GreedyUpdate, ColumnsOfDifferentLengthsEndIndependently) {
    RandomData random(5);
    const std::int32_t k = 21, n = 13;
    std::vector<double> H(k * 30);
    for (double& v : H) v = random.uniform();
    Greedy g{std::vector<double>(k * n), std::vector<double>(k * k), std::vector<double>(k * n),
             0.0, n, k, 15};
    for (std::int32_t a = 0; a < k; ++a)
        for (std::int32_t b = 0; b < k; ++b) {
            double sum = 0.0;
            for (std::int32_t l = 0; l < 30; ++l) sum += H[a + l * k] * H[b + l * k];
            g.HHt[a + b * k] = sum;
        }
    for (std::int32_t j = 0; j < n; ++j)
        for (std::int32_t i = 0; i < k; ++i) {
            const std::int32_t at = i + j * k;
            switch (j % 4) {
            case 0:  // optimal: W = 0 and a non-negative gradient
                g.W[at] = 0.0;
                g.GW[at] = random.uniform();
                break;
            case 1:  // NaN gradient except in one row
                g.W[at] = random.uniform();
                g.GW[at] = i == j % k ? -1.0 : nan;
                break;
            default:
                g.W[at] = random.uniform();
                g.GW[at] = random.value(0) * 10;
            }
        }
    Greedy expected = g;
    g.run(path());
    expected.runReference();
    EXPECT_TRUE(sameBits(g.W, expected.W));
    EXPECT_TRUE(sameBits(g.GW, expected.GW));
}

// The stopping threshold comes from the largest reduction in the whole
// matrix at entry: a column with little to gain stops after one move because
// of another column, wherever the two columns sit.
TEST_P(GreedyUpdate, ThresholdIsSharedByAllColumns) {
    const std::int32_t k = 9;
    for (std::int32_t n : {2, 5, 6}) {
        std::vector<double> HHt(k * k, 0.0);
        for (std::int32_t i = 0; i < k; ++i) HHt[i * (k + 1)] = 1.0;
        Greedy g{std::vector<double>(k * n, -1.0), HHt, std::vector<double>(k * n, 0.0), 0.01, n,
                 k, k};
        g.GW[3 + (n - 1) * k] = -100.0;  // reduction 5000: threshold 50
        g.run(path());
        for (std::int32_t j = 0; j + 1 < n; ++j) {
            // Reduction 0.5 < 50: one move, to the lowest row, then stop.
            for (std::int32_t i = 0; i < k; ++i)
                EXPECT_EQ(g.W[i + j * k], i == 0 ? 1.0 : 0.0) << "n " << n << " column " << j;
        }
        EXPECT_EQ(g.W[3 + (n - 1) * k], 100.0) << "n " << n;
    }
}

// Factorisation-like data (W ≥ 0, positive diagonal) whose rows are scaled
// by 2^e, so that gradients, factors and diagonals sit near, at and beyond
// the magnitudes where products start to overflow or underflow; every k up
// to 40 crosses the vector lanes. Also subnormal, zero, NaN and infinite
// gradients in the same columns.
TEST_P(GreedyUpdate, ExtremeMagnitudesMatchReference) {
    RandomData random(31);
    const int exponents[] = {0, 150, -150, 190, -190, 199, -199, 200, -200, 201, -201, 210, -210, 260, -260};
    auto scaled = [&](double v) {
        return std::ldexp(v, exponents[random.pick(std::size(exponents))]);
    };
    for (int trial = 0; trial < 120; ++trial) {
        const std::int32_t k = 1 + trial % 40, n = 3;
        Greedy g{std::vector<double>(k * n), std::vector<double>(k * k, 0.0),
                 std::vector<double>(k * n), trial % 3 == 0 ? 0.0 : 1e-3, n, k, k + 2};
        for (std::int32_t i = 0; i < k; ++i) {
            for (std::int32_t l = 0; l < k; ++l) g.HHt[i + l * k] = random.uniform() * 0.1;
            g.HHt[i * (k + 1)] = 0.5 + random.uniform();
        }
        // Scale the diagonal only in some trials, so that others keep it moderate.
        if (trial % 2 == 1)
            for (std::int32_t i = 0; i < k; ++i) g.HHt[i * (k + 1)] = scaled(g.HHt[i * (k + 1)]);
        for (double& v : g.W) v = random.uniform() < 0.4 ? 0.0 : scaled(random.uniform());
        for (double& v : g.GW) {
            const double u = random.uniform();
            v = u < 0.05   ? std::numeric_limits<double>::denorm_min() * (1 + random.pick(9))
                : u < 0.08 ? -std::numeric_limits<double>::denorm_min()
                : u < 0.1  ? 0.0
                : u < 0.11 ? nan
                : u < 0.12 ? -std::numeric_limits<double>::infinity()
                           : scaled(random.value(0));
        }
        Greedy expected = g;
        g.run(path());
        expected.runReference();
        ASSERT_TRUE(sameBits(g.W, expected.W)) << "trial " << trial << " k " << k;
        ASSERT_TRUE(sameBits(g.GW, expected.GW)) << "trial " << trial << " k " << k;
    }
}

// Two rows whose reductions are equal or one ulp apart, in either order, in
// the same lane of different chunks or in different lanes: one unclamped
// (d = 1, w large, r = fl(a·a)/2 from s = a) and one clamped (w tiny, g ≥ 0,
// r = g·w exactly because the curvature term is lost in rounding), among
// rows that gain a little less.
TEST_P(GreedyUpdate, NearTiesMoveTheRowTheReferenceMoves) {
    const double a = 1.0 + 0x1p-30;
    const double unclampedR = -(-a * a + ((1.0 * 0.5) * a) * a);  // the reduction's own rounding
    for (std::int32_t k : {9, 16, 17, 33}) {
        for (int variant = 0; variant < 8; ++variant) {
            const std::int32_t first = variant % 2 == 0 ? 1 : 8, second = variant < 4 ? k - 1 : 3;
            std::vector<double> HHt(k * k, 0.0);
            for (std::int32_t i = 0; i < k; ++i) HHt[i * (k + 1)] = 1.0;
            Greedy g{std::vector<double>(k, -0.5), HHt, std::vector<double>(k, 4.0), 0.0, 1, k, 1};
            g.GW[first] = -a;
            // Clamped row: w = r/g with g = 2^40, so g·w is r and w·w·0.5 is lost.
            const double r = (variant / 2) % 2 == 0 ? unclampedR
                                                      : std::nextafter(unclampedR, 0.0);
            g.GW[second] = 0x1p40;
            g.W[second] = r / 0x1p40;
            Greedy expected = g;
            g.run(path());
            expected.runReference();
            ASSERT_TRUE(sameBits(g.W, expected.W)) << "k " << k << " variant " << variant;
            ASSERT_TRUE(sameBits(g.GW, expected.GW)) << "k " << k << " variant " << variant;
            ASSERT_FALSE(sameBits(g.W[first], 4.0) && sameBits(g.W[second], r / 0x1p40))
                << "one of the two rows must move";
        }
    }
}

// A diagonal entry that is zero, negative, tiny or huge anywhere in HHt, and
// columns with a negative or enormous factor entry, beside ordinary ones.
TEST_P(GreedyUpdate, UnusualDiagonalsAndFactorsMatchReference) {
    RandomData random(43);
    const double oddDiagonals[] = {0.0, -1.0, -0.0, 0x1p-300, 0x1p300, nan,
                                   std::numeric_limits<double>::infinity()};
    for (int trial = 0; trial < 60; ++trial) {
        const std::int32_t k = 5 + trial % 19, n = 4;
        Greedy g{std::vector<double>(k * n), std::vector<double>(k * k, 0.0),
                 std::vector<double>(k * n), 1e-3, n, k, 2 * k};
        for (std::int32_t i = 0; i < k; ++i) g.HHt[i * (k + 1)] = 0.5 + random.uniform();
        if (trial % 2 == 0) g.HHt[random.pick(k) * (k + 1)] = oddDiagonals[random.pick(7)];
        for (double& v : g.W) v = random.uniform();
        for (double& v : g.GW) v = random.value(0);
        g.W[random.pick(k) + k] = -random.uniform();
        g.W[random.pick(k) + 2 * k] = 0x1p210;
        Greedy expected = g;
        g.run(path());
        expected.runReference();
        ASSERT_TRUE(sameBits(g.W, expected.W)) << "trial " << trial;
        ASSERT_TRUE(sameBits(g.GW, expected.GW)) << "trial " << trial;
    }
}

// The most columns a call may have, with k = 0 so that no storage is needed.
// Each path's column schedule starts a few columns below 2^31 − 1 and must
// reach n without its counters passing it (under UBSan an overflow aborts;
// without it, the schedule loops or writes before W).
TEST_P(GreedyUpdate, ColumnCountersStopAtInt32Max) {
    constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();
    std::vector<double> GW{5.0}, HHt{1.0}, W{7.0}, diag{1.0}, halfDiag{0.5};
    const GreedyProblem p{GW.data(), HHt.data(), W.data(), diag.data(), halfDiag.data(), most, 0, 3};
    for (std::int32_t first = most - 9; first < most; ++first)
        kernelTable(path()).greedyColumns(p, 0.0, first);
    EXPECT_TRUE(sameBits(GW, {5.0}));
    EXPECT_TRUE(sameBits(W, {7.0}));
}

INSTANTIATE_FOR_EVERY_PATH(GreedyUpdate);

// The entry point dispatches to its own path, which must give the bits of
// the reference like every named path.
TEST(GreedyEntryPoint, DispatchedUpdateMatchesReference) {
    RandomData random(12);
    const std::int32_t k = 37, n = 11;
    Greedy g{random.values(k * n), random.values(k * k), random.values(k * n), 1e-3, n, k, 20};
    for (std::int32_t i = 0; i < k; ++i) g.HHt[i * (k + 1)] = 1 + random.uniform();
    Greedy expected = g;
    ASSERT_TRUE(
        greedyCoordinateUpdate(g.GW.data(), g.HHt.data(), g.W.data(), g.tol, n, k, g.maxinner));
    expected.runReference();
    EXPECT_TRUE(sameBits(g.W, expected.W));
    EXPECT_TRUE(sameBits(g.GW, expected.GW));
}

TEST(GreedyIndexArithmetic, ColumnStartsPassTwoToThe31) {
    GreedyProblem p{};
    p.k = 65536;
    EXPECT_EQ(p.columnStart(40000), std::ptrdiff_t{40000} * 65536);
}

}  // namespace

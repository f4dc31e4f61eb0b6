// Hashes of the kernels' outputs on fixed random problems, against a file of
// hashes written once on x86-64 (kernel_hashes.inc), so that builds for other
// instruction-set families and operating systems prove they give the same
// bits. The problems are made from std::mt19937_64, whose output the C++
// standard fixes, with integer arithmetic only, so they are the same
// everywhere.
//
//   golden_tests          compares every path this CPU runs with the file
//   golden_tests --write  prints the file's contents from the reference loops

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "forward_sweep.h"
#include "greedy_coordinate_update.h"
#include "kernel_paths.h"
#include "reference_kernels.h"

namespace {

struct Golden {
    const char* name;
    std::uint64_t hash;
};

const Golden goldenHashes[] = {
#include "kernel_hashes.inc"
};

// Values a platform cannot round differently: dyadic numbers, specials and
// signed zeros, drawn from the standard's exactly specified engine.
class Values {
public:
    explicit Values(std::uint64_t seed) : engine_(seed) {}

    // A multiple of 2^−12 in (−256, 256); one in `specialOneIn` is instead
    // NaN, ±Inf or ±0 (none when specialOneIn is 0).
    double next(std::uint64_t specialOneIn) {
        const std::uint64_t bits = engine_();
        if (specialOneIn > 0 && (bits >> 32) % specialOneIn == 0) {
            constexpr double inf = std::numeric_limits<double>::infinity();
            const double specials[] = {std::numeric_limits<double>::quiet_NaN(), inf, -inf, 0.0, -0.0};
            return specials[bits % 5];
        }
        return static_cast<double>(static_cast<std::int64_t>(bits % (1u << 21)) - (1 << 20)) /
               4096.0;
    }
    std::vector<double> next(std::size_t count, std::uint64_t specialOneIn) {
        std::vector<double> out(count);
        for (double& v : out) v = next(specialOneIn);
        return out;
    }
    std::uint64_t pick(std::uint64_t count) { return engine_() % count; }

private:
    std::mt19937_64 engine_;
};

// FNV-1a over the bit patterns, every NaN counted as one pattern.
std::uint64_t hashOf(const std::vector<double>& values, std::uint64_t h = 14695981039346656037ull) {
    for (double v : values) {
        std::uint64_t bits;
        if (std::isnan(v)) v = std::numeric_limits<double>::quiet_NaN();
        std::memcpy(&bits, &v, sizeof bits);
        for (int byte = 0; byte < 8; ++byte) {
            h ^= (bits >> (8 * byte)) & 0xff;
            h *= 1099511628211ull;
        }
    }
    return h;
}

// A coupling matrix of the given order that keeps values finite: entries off
// the diagonal below 1/order in magnitude, a diagonal from 1 to 9, except
// that the last row's is zero, negative, NaN, infinite or ordinary (a
// special there reaches every column, so it comes only at the end).
std::vector<double> couplings(std::int32_t order, Values& values) {
    const std::size_t size = static_cast<std::size_t>(order) * order;
    std::vector<double> A = values.next(size, 0);
    int scale = 8;
    while ((1 << (scale - 8)) < order) ++scale;
    for (double& v : A) v = std::ldexp(v, -scale);
    for (std::int32_t i = 0; i < order; ++i)
        A[i * (order + 1)] = 1.0 + static_cast<double>(values.pick(512)) / 64.0;
    const double last[] = {0.0, -2.0, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(), 3.0};
    A[size - 1] = last[values.pick(std::size(last))];
    return A;
}

struct SweepCase {
    std::int32_t n, m;
};
const SweepCase sweepCases[] = {{1, 1}, {2, 3}, {5, 9}, {8, 24}, {9, 25}, {13, 29}, {17, 50}, {40, 61}, {71, 13}, {300, 5}};

struct GreedyCase {
    std::int32_t k, n, maxinner;
    double tol;
};
const GreedyCase greedyCases[] = {{1, 4, 3, 0.0},   {3, 7, 5, 1e-3}, {8, 5, 20, 0.1},
                                  {9, 9, 9, 0.0},   {17, 6, 40, 1e-2}, {33, 5, 50, 1e-3},
                                  {40, 11, 100, 0.0}, {64, 3, 200, 1e-4}};
const double lambdas[] = {0.0, 0.5, -1.0};

// Runs every problem through `sweep` and `greedy` and names each output's hash.
template <class Sweep, class Greedy>
std::vector<Golden> computeHashes(Sweep sweep, Greedy greedy, std::vector<std::string>& names) {
    std::vector<Golden> out;
    names.clear();
    std::uint64_t seed = 1;
    for (const SweepCase& c : sweepCases) {
        for (double lambda : lambdas) {
            Values values(seed++);
            const std::vector<double> M = couplings(c.n, values);
            // About one column in eight meets a special on its way down.
            const std::vector<double> C = values.next(static_cast<std::size_t>(c.n) * c.m, 8 * c.n);
            for (reference::Rule rule : {reference::Rule::hardThreshold, reference::Rule::nonNegative}) {
                std::vector<double> X(C.size(), 0.0);
                sweep(rule, X.data(), M.data(), C.data(), lambda, c.n, c.m);
                names.push_back(std::string(rule == reference::Rule::hardThreshold ? "hard" : "clip") +
                                "/n" + std::to_string(c.n) + "/m" + std::to_string(c.m) +
                                "/lambda" + std::to_string(lambda));
                out.push_back({nullptr, hashOf(X)});
            }
        }
    }
    for (const GreedyCase& c : greedyCases) {
        Values values(seed++);
        const std::vector<double> HHt = couplings(c.k, values);
        std::vector<double> GW = values.next(static_cast<std::size_t>(c.k) * c.n, 32);
        std::vector<double> W = values.next(static_cast<std::size_t>(c.k) * c.n, 32);
        greedy(GW.data(), HHt.data(), W.data(), c.tol, c.n, c.k, c.maxinner);
        names.push_back("greedy/k" + std::to_string(c.k) + "/n" + std::to_string(c.n));
        out.push_back({nullptr, hashOf(GW, hashOf(W))});
    }
    for (std::size_t i = 0; i < out.size(); ++i) out[i].name = names[i].c_str();
    return out;
}

std::vector<Golden> referenceHashes(std::vector<std::string>& names) {
    return computeHashes(reference::forwardSweep,
                         [](double* GW, const double* HHt, double* W, double tol, std::int32_t n,
                            std::int32_t k, std::int32_t maxinner) {
                             reference::greedyCoordinateUpdate(GW, HHt, W, tol, n, k, maxinner);
                         },
                         names);
}

void expectGolden(const std::vector<Golden>& actual, const char* what) {
    ASSERT_EQ(actual.size(), std::size(goldenHashes)) << "the problems no longer match the file";
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_STREQ(actual[i].name, goldenHashes[i].name);
        EXPECT_EQ(actual[i].hash, goldenHashes[i].hash) << what << ": " << actual[i].name;
    }
}

TEST(GoldenHashes, ReferenceLoopsMatchTheFile) {
    std::vector<std::string> names;
    expectGolden(referenceHashes(names), "reference loops");
}

class GoldenPaths : public EveryPath {};

TEST_P(GoldenPaths, EveryOutputMatchesTheFile) {
    const KernelPath p = path();
    std::vector<std::string> names;
    const auto sweep = [p](reference::Rule rule, double* X, const double* M, const double* C,
                           double lambda, std::int32_t n, std::int32_t m) {
        if (rule == reference::Rule::hardThreshold)
            ASSERT_TRUE(hardThresholdSweepOn(p, X, M, C, lambda, n, m));
        else
            ASSERT_TRUE(nonNegativeSweepOn(p, X, M, C, lambda, n, m));
    };
    const auto greedy = [p](double* GW, const double* HHt, double* W, double tol, std::int32_t n,
                            std::int32_t k, std::int32_t maxinner) {
        ASSERT_TRUE(greedyCoordinateUpdateOn(p, GW, HHt, W, tol, n, k, maxinner));
    };
    expectGolden(computeHashes(sweep, greedy, names), kernelPathName(p));
}

INSTANTIATE_FOR_EVERY_PATH(GoldenPaths);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--write") == 0) {
        std::vector<std::string> names;
        std::printf("// Written by `golden_tests --write` on x86-64; compared on every path.\n");
        for (const Golden& g : referenceHashes(names))
            std::printf("{\"%s\", 0x%016llxull},\n", g.name, static_cast<unsigned long long>(g.hash));
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The factorisation solver on fixed dense and sparse problems: W, H and
// the objective trace hash to one value on every path, operating system,
// instruction-set family and thread count. tests/octave/golden_nmf_tests.m
// checks greedynmf against the same values from Octave.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "greedy_nmf.h"
#include "kernel_paths.h"
#include "nmf/solver_setup.h"

namespace {

// A sparse matrix in compressed columns.
struct Compressed {
    std::vector<std::int32_t> start{0}, row;
    std::vector<double> values;
};

// The non-zeros of the m×n A, or of A' as Octave's transpose stores it.
Compressed compressed(const std::vector<double>& A, std::ptrdiff_t m, std::ptrdiff_t n,
                      bool transposed) {
    Compressed S;
    const std::ptrdiff_t columns = transposed ? m : n, rows = transposed ? n : m;
    for (std::ptrdiff_t j = 0; j < columns; ++j) {
        for (std::ptrdiff_t i = 0; i < rows; ++i) {
            const double a = transposed ? A[j + i * m] : A[i + j * m];
            if (a != 0.0) {
                S.row.push_back(static_cast<std::int32_t>(i));
                S.values.push_back(a);
            }
        }
        S.start.push_back(static_cast<std::int32_t>(S.row.size()));
    }
    return S;
}

// The problems greedynmf_golden in the Octave tests builds, from 1-based
// integer formulas whose values are exact in binary.
struct NmfProblem {
    std::ptrdiff_t m, n, k;
    bool sparse;
    std::vector<double> A;      // dense, m×n (zeros kept)
    Compressed S, St;           // A and A' in compressed columns
    std::vector<double> Wt, H;  // the start: W' (k×m) and H (k×n)
};

NmfProblem makeProblem(std::ptrdiff_t m, std::ptrdiff_t n, std::ptrdiff_t k, bool sparse) {
    NmfProblem p{m, n, k, sparse, std::vector<double>(m * n), {}, {},
                 std::vector<double>(k * m), std::vector<double>(k * n)};
    for (std::ptrdiff_t j = 1; j <= n; ++j)
        for (std::ptrdiff_t i = 1; i <= m; ++i) {
            const bool kept = !sparse || (i * 3 + j * 5) % 7 < 2;
            p.A[(i - 1) + (j - 1) * m] = kept ? static_cast<double>((i * 7 + j * 13) % 17) / 4 : 0.0;
        }
    p.S = compressed(p.A, m, n, false);
    p.St = compressed(p.A, m, n, true);
    for (std::ptrdiff_t i = 1; i <= m; ++i)
        for (std::ptrdiff_t r = 1; r <= k; ++r)
            p.Wt[(r - 1) + (i - 1) * k] = static_cast<double>(1 + (i * 5 + r * 3) % 11) / 8;
    for (std::ptrdiff_t j = 1; j <= n; ++j)
        for (std::ptrdiff_t r = 1; r <= k; ++r)
            p.H[(r - 1) + (j - 1) * k] = static_cast<double>(1 + (r * 7 + j * 2) % 13) / 16;
    return p;
}

std::uint32_t fnv1a(const std::vector<const std::vector<double>*>& arrays) {
    std::uint32_t h = 2166136261u;
    for (const std::vector<double>* values : arrays)
        for (double v : *values) {
            std::uint64_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            for (int byte = 0; byte < 8; ++byte) {
                h ^= static_cast<std::uint32_t>((bits >> (8 * byte)) & 0xff);
                h *= 16777619u;
            }
        }
    return h;
}

NmfMatrix<std::int32_t> dataOf(const NmfProblem& p) {
    if (p.sparse) return {p.m, p.n, p.S.values.data(), p.S.start.data(), p.S.row.data()};
    return {p.m, p.n, p.A.data(), nullptr, nullptr};
}

// Without extrapolation 8 iterations; with it 24, so that each problem has
// an iteration undone (the 20th dense, the 9th sparse); the last two are
// penalised.
struct GoldenRun {
    std::ptrdiff_t m, n, k;
    bool sparse, extrapolate;
    int iterations;
    double l1W, l2W, l1H, l2H;
    std::uint32_t hash;  // as greedynmf_golden in the Octave tests has it
};
const GoldenRun goldenRuns[] = {{70, 45, 6, false, false, 8, 0, 0, 0, 0, 0x98d71244u},
                                {80, 50, 5, true, false, 8, 0, 0, 0, 0, 0x90b45613u},
                                {70, 45, 6, false, true, 24, 0, 0, 0, 0, 0x757b65d8u},
                                {80, 50, 5, true, true, 24, 0, 0, 0, 0, 0xf92415efu},
                                {70, 45, 6, false, true, 24, 0.5, 0.25, 0.125, 1, 0xb6d709bdu},
                                {80, 50, 5, true, true, 24, 0.25, 1, 0.5, 0.125, 0x0d158fa0u}};

// greedynmf(A, k, 'W0', W0, 'H0', H0, 'maxiter', iterations, 'tol', 0,
// 'extrapolate', extrapolate, and the penalties) with its default inner
// work (maxinner = k, inner_tol = 1e-5): the FNV-1a hash (32 bits) of W',
// H and the objective trace.
std::uint32_t runHash(const GoldenRun& golden, const SolverSetup& setup, int threads) {
    const NmfProblem p = makeProblem(golden.m, golden.n, golden.k, golden.sparse);
    NmfOptions options;
    options.maxiter = golden.iterations;
    options.tol = 0;
    options.maxinner = static_cast<std::int32_t>(golden.k);
    options.innerTol = 1e-5;
    options.extrapolate = golden.extrapolate;
    options.l1W = golden.l1W, options.l2W = golden.l2W, options.l1H = golden.l1H, options.l2H = golden.l2H;
    options.threads = threads;
    std::vector<double> Wt = p.Wt, H = p.H;
    NmfRun run;
    EXPECT_EQ(greedyNmfWith(setup, dataOf(p), p.k, Wt.data(), H.data(), options, run, nullptr, nullptr),
              NmfStatus::done);
    EXPECT_EQ(run.threads, threads);
    return fnv1a({&Wt, &H, &run.objective});
}

// Each step cut into as many parts as it has columns to share.
SolverSetup cutEverywhere(SolverSetup setup) {
    setup.minimumPartWork = 0;
    return setup;
}

void expectTheHashes(const SolverSetup& setup) {
    for (const GoldenRun& golden : goldenRuns)
        for (int threads : {1, 2, 3, 7})
            EXPECT_EQ(runHash(golden, setup, threads), golden.hash)
                << (golden.sparse ? "sparse" : "dense") << (golden.extrapolate ? ", extrapolated" : "")
                << (golden.l1W != 0 ? ", penalised" : "") << ", " << threads << " threads";
}

class GoldenNmfPaths : public EveryPath {};

TEST_P(GoldenNmfPaths, EveryPathGivesTheHashesAtEveryThreadCount) {
    expectTheHashes(cutEverywhere(solverSetupOn(path())));
}

INSTANTIATE_FOR_EVERY_PATH(GoldenNmfPaths);

}  // namespace

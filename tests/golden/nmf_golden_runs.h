#pragma once

// The golden runs of the solvers: fixed dense and sparse problems whose W,
// H and objective trace hash to one value on every path, operating system,
// instruction-set family and thread count. tests/octave/golden_nmf_tests.m
// builds the same problems and checks greedynmf against the same values.
// Plain C++, so that a build without GoogleTest runs them too.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <vector>

#include "greedy_nmf.h"
#include "nmf/solver_setup.h"

namespace golden {

// The problems greedynmf_golden in the Octave tests builds, from 1-based
// integer formulas whose values are exact in binary: A dense (zeros kept)
// and in compressed columns, and the start W' (k×m), H (k×n).
struct Problem {
    std::ptrdiff_t m, n, k;
    bool sparse;
    std::vector<double> A, values, Wt, H;
    std::vector<std::int32_t> start{0}, row;
    // The observed entries' weights, when masked (weighed()).
    std::vector<double> weight;
    NmfWeights<std::int32_t> weights{nullptr, nullptr, nullptr};

    NmfMatrix<std::int32_t> data() const {
        const NmfWeights<std::int32_t>* w = weights.values ? &weights : nullptr;
        if (sparse) return {m, n, values.data(), start.data(), row.data(), w};
        return {m, n, A.data(), nullptr, nullptr, w};
    }
};

// The masks of the masked runs. A dense A is observed but where
// (5i + 3j) mod 11 = 0, in every third row of each ninth column, and
// nowhere in row 7: lines that list their missing entries, lines that
// list their observed ones, and an empty line; every unobserved entry
// holds NaN. A sparse A is observed at its stored entries, with weight
// 3/2 where (i + j) mod 4 = 0 and 1 elsewhere.
inline void weigh(Problem& p) {
    if (p.sparse) {
        p.weight.resize(p.values.size());
        for (std::ptrdiff_t j = 1; j <= p.n; ++j)
            for (std::int32_t t = p.start[j - 1]; t < p.start[j]; ++t)
                p.weight[t] = (p.row[t] + 1 + j) % 4 == 0 ? 1.5 : 1.0;
        p.weights = {p.weight.data(), p.start.data(), p.row.data()};
        return;
    }
    p.weight.assign(p.A.size(), 1.0);
    for (std::ptrdiff_t j = 1; j <= p.n; ++j)
        for (std::ptrdiff_t i = 1; i <= p.m; ++i) {
            const bool observed = (i * 5 + j * 3) % 11 != 0 && (j % 9 != 0 || i % 3 == 0) && i != 7;
            if (observed) continue;
            p.weight[(i - 1) + (j - 1) * p.m] = 0.0;
            p.A[(i - 1) + (j - 1) * p.m] = std::numeric_limits<double>::quiet_NaN();
        }
    p.weights = {p.weight.data(), nullptr, nullptr};
}

inline Problem makeProblem(std::ptrdiff_t m, std::ptrdiff_t n, std::ptrdiff_t k, bool sparse) {
    Problem p{m, n, k, sparse, std::vector<double>(m * n), {}, std::vector<double>(k * m),
              std::vector<double>(k * n), {0}, {}, {}, {nullptr, nullptr, nullptr}};
    for (std::ptrdiff_t j = 1; j <= n; ++j) {
        for (std::ptrdiff_t i = 1; i <= m; ++i) {
            const bool kept = !sparse || (i * 3 + j * 5) % 7 < 2;
            const double a = kept ? static_cast<double>((i * 7 + j * 13) % 17) / 4 : 0.0;
            p.A[(i - 1) + (j - 1) * m] = a;
            if (a != 0.0) p.row.push_back(static_cast<std::int32_t>(i - 1)), p.values.push_back(a);
        }
        p.start.push_back(static_cast<std::int32_t>(p.row.size()));
    }
    for (std::ptrdiff_t i = 1; i <= m; ++i)
        for (std::ptrdiff_t r = 1; r <= k; ++r)
            p.Wt[(r - 1) + (i - 1) * k] = static_cast<double>(1 + (i * 5 + r * 3) % 11) / 8;
    for (std::ptrdiff_t j = 1; j <= n; ++j)
        for (std::ptrdiff_t r = 1; r <= k; ++r)
            p.H[(r - 1) + (j - 1) * k] = static_cast<double>(1 + (r * 7 + j * 2) % 13) / 16;
    return p;
}

// FNV-1a (32 bits) over the bytes of the doubles, little-endian.
inline std::uint32_t fnv1a(std::initializer_list<const std::vector<double>*> arrays) {
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

// greedynmf(A, k, 'W0', W0, 'H0', H0, 'maxiter', iterations, 'tol', 0,
// 'extrapolate', extrapolate, and the penalties) with its default inner
// work (maxinner = k, inner_tol = 1e-5), hashed over W', H and the trace;
// or, for a projection, greedynmf_project(A, W0) with its defaults, hashed
// over H and the trace. Without extrapolation 8 iterations; with it 24, so
// that each problem has an iteration undone (the 20th dense, the 9th
// sparse). The kl runs take 'loss', 'kl' and its defaults (2 passes, 1 in
// a projection, which starts from H0). The masked runs take weigh()'s mask
// or weights.
struct Run {
    std::ptrdiff_t m, n, k;
    bool sparse, extrapolate, projection;
    int iterations;
    double l1W, l2W, l1H, l2H;
    std::uint32_t hash;
    bool kl = false;
    bool masked = false;
};
inline const Run runs[] = {
    {70, 45, 6, false, false, false, 8, 0, 0, 0, 0, 0x98d71244u},
    {80, 50, 5, true, false, false, 8, 0, 0, 0, 0, 0x90b45613u},
    {70, 45, 6, false, true, false, 24, 0, 0, 0, 0, 0x757b65d8u},
    {80, 50, 5, true, true, false, 24, 0, 0, 0, 0, 0xf92415efu},
    {70, 45, 6, false, true, false, 24, 0.5, 0.25, 0.125, 1, 0xb6d709bdu},
    {80, 50, 5, true, true, false, 24, 0.25, 1, 0.5, 0.125, 0x0d158fa0u},
    {70, 45, 6, false, false, true, 0, 0, 0, 0, 0, 0x451aca15u},
    {80, 50, 5, true, false, true, 0, 0, 0, 0.5, 0.125, 0x77875f88u},
    {70, 45, 6, false, false, false, 8, 0, 0, 0, 0, 0x8d01cc77u, true},
    {80, 50, 5, true, false, false, 8, 0.25, 1, 0.5, 0.125, 0x340860fdu, true},
    {80, 50, 5, true, false, true, 0, 0, 0, 0.5, 0.125, 0x74389db6u, true},
    {70, 45, 6, false, true, false, 24, 0.5, 0.25, 0.125, 1, 0x6cfccad7u, false, true},
    {80, 50, 5, true, true, false, 24, 0, 0, 0, 0, 0x4818ca59u, false, true},
    {80, 50, 5, true, false, true, 0, 0, 0, 0.5, 0.125, 0x9da5c201u, false, true},
};

struct Outcome {
    std::uint32_t hash;
    bool done;     // the solver returned done
    int threads;   // as many as it ran on
};

inline Outcome outcomeOf(const Run& golden, const SolverSetup& setup, int threads) {
    Problem p = makeProblem(golden.m, golden.n, golden.k, golden.sparse);
    if (golden.masked) weigh(p);
    if (golden.projection) {
        NmfProjectOptions options;
        options.loss = golden.kl ? NmfLoss::kl : NmfLoss::leastSquares;
        options.maxinner = static_cast<std::int32_t>(golden.kl ? 1 : 10 * golden.k);
        options.l1H = golden.l1H, options.l2H = golden.l2H;
        options.threads = threads;
        std::vector<double> H = golden.kl ? p.H : std::vector<double>(p.H.size(), 0.0);
        NmfProjectRun run;
        run.objective.assign(3, 1.0);  // a used run starts afresh
        const NmfStatus status = nmfProjectWith(setup, p.data(), p.k, p.Wt.data(), H.data(), options, run);
        return {fnv1a({&H, &run.objective}), status == NmfStatus::done, run.threads};
    }
    NmfOptions options;
    options.loss = golden.kl ? NmfLoss::kl : NmfLoss::leastSquares;
    options.maxiter = golden.iterations;
    options.tol = 0;
    options.maxinner = static_cast<std::int32_t>(golden.kl ? 2 : golden.k);
    options.innerTol = 1e-5;
    options.extrapolate = golden.extrapolate;
    options.l1W = golden.l1W, options.l2W = golden.l2W, options.l1H = golden.l1H, options.l2H = golden.l2H;
    options.threads = threads;
    NmfRun run;
    run.objective.assign(3, 1.0), run.seconds.assign(3, 1.0);  // a used run starts afresh
    const NmfStatus status =
        greedyNmfWith(setup, p.data(), p.k, p.Wt.data(), p.H.data(), options, run, nullptr, nullptr);
    return {fnv1a({&p.Wt, &p.H, &run.objective}), status == NmfStatus::done, run.threads};
}

// Each step cut into as many parts as it has columns to share, and every
// kl line solved alone (greedynmf's own runs, in the Octave tests, solve
// them side by side).
inline SolverSetup cutEverywhere(SolverSetup setup) {
    setup.minimumPartWork = 0;
    setup.klGroupBytes = 0;
    return setup;
}

inline constexpr int threadCounts[] = {1, 2, 3, 7};

}  // namespace golden

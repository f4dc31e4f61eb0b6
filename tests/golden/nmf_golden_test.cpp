// greedynmf's iterations with fixed products, written out step by step as
// greedynmf makes them, on a fixed dense and a fixed sparse problem: W, H
// and the objective trace hash to one value on every path, operating system
// and instruction-set family. tests/octave/golden_nmf_tests.m checks
// greedynmf itself against the same values, at 1 and 2 BLAS threads.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "greedy_coordinate_update.h"
#include "kernel_paths.h"
#include "products.h"
#include "reference_kernels.h"

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

// The kernels one run uses: a path's entry points, or the reference loops.
struct Kernels {
    KernelPath path;
    bool reference;

    std::vector<double> times(const double* X, const double* A, std::ptrdiff_t k,
                              std::ptrdiff_t m, std::ptrdiff_t n) const {
        std::vector<double> P(k * n);
        if (reference) reference::fullTimesFull(P.data(), X, A, k, m, n);
        else EXPECT_TRUE(fullTimesFullOn(path, P.data(), X, A, k, m, n));
        return P;
    }
    // X·Xᵀ for X k×m.
    std::vector<double> gram(const std::vector<double>& X, std::ptrdiff_t k) const {
        const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(X.size()) / k;
        std::vector<double> P(k * k);
        if (reference) reference::fullTimesTransposed(P.data(), X.data(), X.data(), k, m, k);
        else EXPECT_TRUE(fullTimesTransposedOn(path, P.data(), X.data(), X.data(), k, m, k));
        return P;
    }
    // X·A for the problem's A (m×n), or X·Aᵀ (through A' when sparse).
    std::vector<double> timesData(const std::vector<double>& X, const NmfProblem& p,
                                  bool transposed) const {
        const std::ptrdiff_t columns = transposed ? p.m : p.n, depth = transposed ? p.n : p.m;
        if (!p.sparse && !transposed) return times(X.data(), p.A.data(), p.k, p.m, p.n);
        std::vector<double> P(p.k * columns);
        if (!p.sparse) {
            if (reference) reference::fullTimesTransposed(P.data(), X.data(), p.A.data(), p.k, p.n, p.m);
            else EXPECT_TRUE(fullTimesTransposedOn(path, P.data(), X.data(), p.A.data(), p.k, p.n, p.m));
            return P;
        }
        const Compressed& S = transposed ? p.St : p.S;
        if (reference)
            reference::fullTimesSparse(P.data(), X.data(), p.k, columns, S.start.data(),
                                       S.row.data(), S.values.data());
        else
            EXPECT_TRUE(fullTimesSparseOn(path, P.data(), X.data(), p.k, depth, columns,
                                          S.start.data(), S.row.data(), S.values.data()));
        return P;
    }
    // sum(x(:).*y(:)) as fixedtimes(x(:)', y(:)).
    double dot(const std::vector<double>& x, const std::vector<double>& y) const {
        return times(x.data(), y.data(), 1, static_cast<std::ptrdiff_t>(x.size()), 1)[0];
    }
    void greedy(std::vector<double>& G, const std::vector<double>& Q, std::vector<double>& X,
                std::ptrdiff_t k) const {
        const std::int32_t n = static_cast<std::int32_t>(X.size() / k), rank = static_cast<std::int32_t>(k);
        if (reference)
            reference::greedyCoordinateUpdate(G.data(), Q.data(), X.data(), 1e-5, n, rank, rank);
        else
            EXPECT_TRUE(greedyCoordinateUpdateOn(path, G.data(), Q.data(), X.data(), 1e-5, n, rank, rank));
    }
};

double atLeastZero(double f) { return f < 0 ? 0.0 : f; }

std::vector<double> minus(std::vector<double> a, const std::vector<double>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = a[i] - b[i];
    return a;
}

// X + beta·(X − before), then negative entries set to zero.
std::vector<double> pushedOn(const std::vector<double>& X, const std::vector<double>& before,
                             double beta) {
    std::vector<double> Y(X.size());
    for (std::size_t i = 0; i < X.size(); ++i) Y[i] = atLeastZero(X[i] + beta * (X[i] - before[i]));
    return Y;
}

struct Kept {
    std::vector<double> Wt, H;
    double f;
};

// greedynmf(A, k, 'W0', W0, 'H0', H0, 'maxiter', iterations, 'tol', 0,
// 'extrapolate', extrapolate) with its default inner work (maxinner = k,
// inner_tol = 1e-5) and no penalties; returns the FNV-1a hash (32 bits) of
// W', H and the objective trace.
std::uint32_t runHash(const NmfProblem& problem, int iterations, bool extrapolate,
                      const Kernels& kernels) {
    const std::ptrdiff_t k = problem.k;
    std::vector<double> Wt = problem.Wt, H = problem.H;
    const std::vector<double>& stored = problem.sparse ? problem.S.values : problem.A;
    const double norm2 = kernels.dot(stored, stored);
    std::vector<double> HHt = kernels.gram(H, k);
    std::vector<double> HAt = kernels.timesData(H, problem, true);
    double f = 0.5 * norm2 - kernels.dot(Wt, HAt) + 0.5 * kernels.dot(kernels.gram(Wt, k), HHt);
    Kept kept{Wt, H, (atLeastZero(f) + 0.0) + 0.0};
    std::vector<double> objective{kept.f};
    double beta = 0.5, ceiling = 1.0;
    bool pushed = false;
    for (int iter = 1; iter <= iterations; ++iter) {
        if (iter > 1) {
            HHt = kernels.gram(H, k);
            HAt = kernels.timesData(H, problem, true);
        }
        std::vector<double> G = minus(kernels.times(HHt.data(), Wt.data(), k, k, problem.m), HAt);
        kernels.greedy(G, HHt, Wt, k);
        const std::vector<double> WWt = kernels.gram(Wt, k);
        const std::vector<double> WA = kernels.timesData(Wt, problem, false);
        G = minus(kernels.times(WWt.data(), H.data(), k, k, problem.n), WA);
        kernels.greedy(G, WWt, H, k);
        const double residual = atLeastZero(0.5 * (norm2 + kernels.dot(H, minus(G, WA))) - 0.0);
        f = (residual + 0.0) + 0.0;
        if (pushed && !(f <= kept.f)) {
            ceiling = beta;
            beta = beta / 1.5;
            Wt = kept.Wt;
            H = kept.H;
            pushed = false;
        } else {
            const Kept previous = kept;
            kept = {Wt, H, f};
            if (extrapolate) {
                Wt = pushedOn(kept.Wt, previous.Wt, beta);
                H = pushedOn(kept.H, previous.H, beta);
                beta = std::min(ceiling, 1.05 * beta);
                ceiling = std::min(1.0, 1.01 * ceiling);
                pushed = true;
            }
        }
        objective.push_back(kept.f);
    }
    std::uint32_t h = 2166136261u;
    for (const std::vector<double>* values : {&kept.Wt, &kept.H, &objective})
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

// Without extrapolation 8 iterations; with it 24, so that each problem has
// an iteration undone (the 20th dense, the 9th sparse).
struct GoldenRun {
    std::ptrdiff_t m, n, k;
    bool sparse, extrapolate;
    int iterations;
    std::uint32_t hash;  // as greedynmf_golden in the Octave tests has it
};
const GoldenRun goldenRuns[] = {{70, 45, 6, false, false, 8, 0x98d71244u},
                                {80, 50, 5, true, false, 8, 0x90b45613u},
                                {70, 45, 6, false, true, 24, 0x757b65d8u},
                                {80, 50, 5, true, true, 24, 0xf92415efu}};

TEST(GoldenNmf, ReferenceLoopsGiveTheHashes) {
    for (const GoldenRun& run : goldenRuns)
        EXPECT_EQ(runHash(makeProblem(run.m, run.n, run.k, run.sparse), run.iterations,
                          run.extrapolate, {KernelPath::scalar, true}),
                  run.hash)
            << (run.sparse ? "sparse" : "dense") << (run.extrapolate ? ", extrapolated" : "");
}

class GoldenNmfPaths : public EveryPath {};

TEST_P(GoldenNmfPaths, EveryPathGivesTheHashes) {
    for (const GoldenRun& run : goldenRuns)
        EXPECT_EQ(runHash(makeProblem(run.m, run.n, run.k, run.sparse), run.iterations,
                          run.extrapolate, {path(), false}),
                  run.hash)
            << (run.sparse ? "sparse" : "dense") << (run.extrapolate ? ", extrapolated" : "");
}

INSTANTIATE_FOR_EVERY_PATH(GoldenNmfPaths);

}  // namespace

#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "kernel_path.h"

// Non-negative matrix factorisation A ≈ W·H by alternating greedy
// coordinate descent, and the projection of new data onto a fixed W. Every
// product, sum and update follows docs/operation-order.md, and threads
// split only independent columns: from the same A, start and options, W, H
// and the objective trace are the same bits on every path, operating
// system and thread count. W is kept as Wᵀ (k×m), so that every row of A
// is one column problem; all arrays are column-major.

// Which entries of an m×n A are observed, each with a finite weight > 0:
// full (m·n weights, 0 where A is not observed) or sparse in compressed
// columns (the stored entries' weights; every other entry unobserved).
// A's value at an unobserved entry is never used, whatever it holds.
template <typename Index>
struct NmfWeights {
    const double* values;        // each finite and ≥ 0
    const Index* columnStart;    // sparse: n + 1 starts; null when full
    const Index* rowIndex;       // sparse: a row per stored entry
};

// An m×n data matrix: full, or sparse in compressed columns (a structure
// validSparseColumns accepts, each column's rows in increasing order as
// hosts store them). Index is std::int32_t or std::int64_t.
template <typename Index>
struct NmfMatrix {
    std::ptrdiff_t m, n;
    const double* values;        // full: all m·n entries; sparse: the stored ones
    const Index* columnStart;    // sparse: n + 1 starts; null when full
    const Index* rowIndex;       // sparse: a row per stored entry
    // Null: every entry observed with weight 1. Otherwise the fit, its
    // objective and relative error run over the observed entries only,
    // each squared residual times its weight (least squares only).
    const NmfWeights<Index>* weights = nullptr;
};

// The fit: ½‖A − W·H‖², or the generalised Kullback-Leibler divergence
// D(A‖W·H) = Σ a·ln(a/(WH)) − a + WH (0·ln 0 = 0) of count data.
enum class NmfLoss { leastSquares, kl };

struct NmfOptions {
    NmfLoss loss = NmfLoss::leastSquares;
    double maxiter = 500;        // outer iterations (may be +Inf)
    // Stop once the last 10 iterations (all, while fewer have run)
    // together lowered f by at most tol times f before them.
    double tol = 5e-5;
    double maxtime = std::numeric_limits<double>::infinity();  // seconds; stop after the
                                 // iteration that ends past it
    double elapsed = 0;          // seconds spent before the call, counted in time
    std::int32_t maxinner = 0;   // greedy moves per column in each step (≥ 1); under
                                 // kl, passes over each column
    double innerTol = 1e-5;      // the greedy update's tolerance (least squares)
    bool extrapolate = true;     // least squares only
    double l1W = 0, l2W = 0, l1H = 0, l2H = 0;  // penalty weights, finite and ≥ 0
    int threads = 1;
};

enum class NmfStop { tol, maxiter, maxtime };

// What one outer iteration did, as the run goes.
struct NmfIteration {
    std::int64_t iteration;  // 0 for the start
    double objective;        // f of the factors kept
    double relativeError;    // ‖A − W·H‖/‖A‖ of those, from the expanded residual
                             // (NaN under kl, which forms it at the end only)
    double change;           // |f before − f after| / f before (NaN at the start)
    double seconds;          // since the call began, elapsed included
    bool undone;             // an iteration from pushed factors that raised f
};
using NmfProgress = void (*)(void* context, const NmfIteration& iteration);

struct NmfRun {
    std::vector<double> objective, seconds;  // at the start and after each iteration
    std::int64_t iterations = 0;
    NmfStop stop = NmfStop::maxiter;
    double relativeError = 0;  // of the factors returned
    int threads = 1;           // as many as the call ran on
};

// zeroModel: under kl, the start's W·H is 0 at a positive entry of A, where
// the divergence is infinite; weightsUnderKl: A has weights, which the kl
// fit does not take. The factors are then untouched.
enum class NmfStatus { done, outOfMemory, zeroModel, weightsUnderKl };

// Factorises A from the start in Wt (k×m) and H (k×n), which hold the
// factors of the lowest f on return; see greedynmf's help for the method.
// On outOfMemory, Wt and H hold the start still or a valid pair of factors.
template <typename Index>
NmfStatus greedyNmf(const NmfMatrix<Index>& A, std::ptrdiff_t k, double* Wt, double* H,
                    const NmfOptions& options, NmfRun& run, NmfProgress progress = nullptr,
                    void* context = nullptr);
// The same with every kernel on `path`; false when this CPU cannot execute it.
template <typename Index>
bool greedyNmfOn(KernelPath path, NmfStatus& status, const NmfMatrix<Index>& A,
                 std::ptrdiff_t k, double* Wt, double* H, const NmfOptions& options,
                 NmfRun& run);

// The random start: Wt (k×m), then H (k×n), filled in storage order with
// uniform draws from `seed`'s stream, each times sqrt(mean(A)/(k/4)), so
// that W·H has A's mean on average.
template <typename Index>
void nmfRandomStart(const NmfMatrix<Index>& A, std::ptrdiff_t k, std::uint64_t seed, double* Wt,
                    double* H);

// The next draw of the toolkit's generator, uniform in [0, 1) at 2^-53
// steps: docs/operation-order.md gives it in full.
double nmfUniform(std::uint64_t& state);

struct NmfProjectOptions {
    NmfLoss loss = NmfLoss::leastSquares;
    double maxiter = 100;        // greedy passes over H
    double tol = 1e-12;          // stop when a pass gains at most tol·½‖A‖² (kl: tol·Σa)
    std::int32_t maxinner = 0;   // moves per column in each pass (≥ 1; kl: passes per pass)
    double innerTol = 1e-10;
    double l1H = 0, l2H = 0;
    int threads = 1;
};

struct NmfProjectRun {
    std::vector<double> objective;  // at the start and after each pass taken
    std::int64_t iterations = 0;
    NmfStop stop = NmfStop::maxiter;
    int threads = 1;
};

// min over H ≥ 0 of ½‖A − W·H‖² + l1H·ΣH + ½·l2H·‖H‖², from H (k×n) and for
// Wt (k×m): greedy passes over all of H, each from the gradient formed
// afresh, until one gains at most tol·½‖A‖² (that pass is not taken).
// Under kl, D(A‖W·H) in the place of the first term: coordinate passes,
// each taken, until one gains at most tol·Σa.
template <typename Index>
NmfStatus nmfProject(const NmfMatrix<Index>& A, std::ptrdiff_t k, const double* Wt, double* H,
                     const NmfProjectOptions& options, NmfProjectRun& run);

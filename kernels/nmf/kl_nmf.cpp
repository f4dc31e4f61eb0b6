#include "no_fp_contract.h"

#include "kl_nmf.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "data_matrix.h"
#include "kl_half_step.h"
#include "objective.h"
#include "positive_entries.h"
#include "split_products.h"
#include "stop_rule.h"

namespace {

// A's positive entries both ways, and the half step's scratch for them.
struct KlData {
    PositiveEntries byColumn, byRow;
    KlHalfStep half;
    std::unique_ptr<double[]> divergence;  // each column's part, as the last H step left it

    KlData(std::ptrdiff_t k, int parts) : half(k, parts) {}
    template <typename Index>
    bool prepare(const NmfMatrix<Index>& A, double groupBytes) {
        if (!positiveEntries(A, byColumn, byRow)) return false;
        divergence = doubles(A.n);
        const std::ptrdiff_t longest =
            byColumn.longest > byRow.longest ? byColumn.longest : byRow.longest;
        return divergence && half.prepare(longest, A.m > A.n ? A.m : A.n, groupBytes);
    }
    // H's step against W (passes 0: none), and D(A‖W·H) after it.
    double stepH(const Workers& workers, const double* Wt, std::ptrdiff_t m, double* H,
                 std::ptrdiff_t k, double l1, double l2, int passes) {
        half.run(workers, byColumn, Wt, m, H, l1, l2, passes, divergence.get());
        double d = 0.0;
        for (std::ptrdiff_t j = 0; j < byColumn.lines; ++j) d = d + divergence[j];
        return d + modelSum(half.otherSum(), H, k, byColumn.lines);
    }
};

constexpr double infinity = std::numeric_limits<double>::infinity();

// ‖A − W·H‖/‖A‖ from the products the least-squares fit forms it from.
template <typename Index>
bool relativeError(const Workers& workers, const NmfMatrix<Index>& A, std::ptrdiff_t k,
                   const double* Wt, const double* H, double& error) {
    DataMatrix<Index> data(A);
    std::unique_ptr<double[]> HAt = doubles(k * A.m), HHt = doubles(k * k), WWt = doubles(k * k);
    if (!data.prepare() || !HAt || !HHt || !WWt || !data.timesTransposed(workers, HAt.get(), H, k) ||
        !splitGram(workers, HHt.get(), H, k, A.n) || !splitGram(workers, WWt.get(), Wt, k, A.m))
        return false;
    const double norm2 = data.squaredNorm();
    error = relativeErrorOf(expandedResidual(norm2, Wt, HAt.get(), WWt.get(), HHt.get(), k, A.m), norm2);
    return true;
}

}  // namespace

template <typename Index>
NmfStatus klFactorise(const Workers& workers, const NmfMatrix<Index>& A, std::ptrdiff_t k,
                      double* Wt, double* H, const NmfOptions& o, NmfRun& run,
                      NmfProgress progress, void* context) {
    const Clock clock(o.elapsed);
    run.objective.clear();
    run.seconds.clear();
    const std::ptrdiff_t m = A.m, n = A.n;
    KlData data(k, workers.team.size());
    if (!data.prepare(A, workers.klGroupBytes)) return NmfStatus::outOfMemory;
    const auto objective = [&](double divergence) {
        return divergence + penaltyOf(Wt, k, m, o.l1W, o.l2W) + penaltyOf(H, k, n, o.l1H, o.l2H);
    };
    const auto report = [&](std::int64_t iteration, double f, double change) {
        const double seconds = clock.seconds();
        run.objective.push_back(f);
        run.seconds.push_back(seconds);
        if (progress)
            progress(context, {iteration, f, std::numeric_limits<double>::quiet_NaN(), change,
                               seconds, false});
        return seconds;
    };

    double f = objective(data.stepH(workers, Wt, m, H, k, o.l1H, o.l2H, 0));
    if (!(f < infinity)) return NmfStatus::zeroModel;
    report(0, f, std::numeric_limits<double>::quiet_NaN());
    // Every column step lowers its own φ, so no iteration is undone and
    // none is pushed on: a push could put W·H at zero where A is not.
    run.stop = NmfStop::maxiter;
    std::int64_t iteration = 0;
    while (static_cast<double>(iteration) < o.maxiter) {
        ++iteration;
        data.half.run(workers, data.byRow, H, n, Wt, o.l1W, o.l2W, o.maxinner, nullptr);
        const double before = f;
        f = objective(data.stepH(workers, Wt, m, H, k, o.l1H, o.l2H, o.maxinner));
        const double smallest = std::numeric_limits<double>::min();
        const double seconds =
            report(iteration, f, std::fabs(before - f) / (before > smallest ? before : smallest));
        if (fallWithinTol(run.objective, iteration, o.tol)) {
            run.stop = NmfStop::tol;
            break;
        }
        if (seconds > o.maxtime) {
            run.stop = NmfStop::maxtime;
            break;
        }
    }
    run.iterations = iteration;
    return relativeError(workers, A, k, Wt, H, run.relativeError) ? NmfStatus::done
                                                                 : NmfStatus::outOfMemory;
}

template <typename Index>
NmfStatus klProject(const Workers& workers, const NmfMatrix<Index>& A, std::ptrdiff_t k,
                    const double* Wt, double* H, const NmfProjectOptions& o,
                    NmfProjectRun& run) {
    run.objective.clear();
    KlData data(k, workers.team.size());
    if (!data.prepare(A, workers.klGroupBytes)) return NmfStatus::outOfMemory;
    const auto objective = [&](double divergence) {
        return divergence + penaltyOf(H, k, A.n, o.l1H, o.l2H);
    };
    double f = objective(data.stepH(workers, Wt, A.m, H, k, o.l1H, o.l2H, 0));
    if (!(f < infinity)) return NmfStatus::zeroModel;
    run.objective.push_back(f);
    const double scale = data.byColumn.sum();
    run.stop = NmfStop::maxiter;
    run.iterations = 0;
    while (static_cast<double>(run.iterations) < o.maxiter) {
        const double before = f;
        f = objective(data.stepH(workers, Wt, A.m, H, k, o.l1H, o.l2H, o.maxinner));
        ++run.iterations;
        run.objective.push_back(f);
        if (before - f <= o.tol * scale) {
            run.stop = NmfStop::tol;
            break;
        }
    }
    return NmfStatus::done;
}

#define GREEDYSWEEP_KL_FOR(Index)                                                               \
    template NmfStatus klFactorise(const Workers&, const NmfMatrix<Index>&, std::ptrdiff_t,      \
                                   double*, double*, const NmfOptions&, NmfRun&, NmfProgress,   \
                                   void*);                                                      \
    template NmfStatus klProject(const Workers&, const NmfMatrix<Index>&, std::ptrdiff_t,        \
                                 const double*, double*, const NmfProjectOptions&,              \
                                 NmfProjectRun&);
GREEDYSWEEP_KL_FOR(std::int32_t)
GREEDYSWEEP_KL_FOR(std::int64_t)

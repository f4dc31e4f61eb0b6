#include "no_fp_contract.h"

#include <cstdint>
#include <new>

#include "data_matrix.h"
#include "greedy_nmf.h"
#include "half_step.h"
#include "kl_nmf.h"
#include "masked_data.h"
#include "masked_half_step.h"
#include "objective.h"
#include "solver_setup.h"
#include "split_products.h"
#include "workers.h"

namespace {

template <typename Index>
NmfStatus project(const Workers& workers, const DataMatrix<Index>& data, std::ptrdiff_t k,
                  const double* Wt, double* H, const NmfProjectOptions& options,
                  NmfProjectRun& run) {
    const NmfStatus outOfMemory = NmfStatus::outOfMemory;
    run.objective.clear();  // this call's trace, even in a run handed in used
    const std::ptrdiff_t m = data.rows(), n = data.columns(), kn = k * n;
    HalfStep half(k, workers.team.size());
    std::unique_ptr<double[]> gram = doubles(k * k), B = doubles(kn), G = doubles(kn),
                              candidate = doubles(kn), candidateG = doubles(kn),
                              step = doubles(kn), hessianStep = doubles(kn);
    if (!half.prepare() || !gram || !B || !G || !candidate || !candidateG || !step ||
        !hessianStep)
        return outOfMemory;

    // W and A meet only in W'·A and W'·W, formed once.
    if (!data.timesA(workers, B.get(), Wt, k) || !splitGram(workers, gram.get(), Wt, k, m))
        return outOfMemory;
    const double zeroObjective = 0.5 * data.squaredNorm();
    const HalfStepProblem problem{gram.get(), B.get(), options.l1H, options.l2H, options.innerTol,
                                  options.maxinner};
    if (!half.gradient(workers, problem, H, G.get(), n)) return outOfMemory;
    // f = ½‖A‖² + ½·⟨H, (G − B) + l1⟩, G = Q·H − B + l1 and Q = W'W + l2·I.
    double sum = 0.0;
    for (std::ptrdiff_t i = 0; i < kn; ++i) sum = sum + H[i] * ((G[i] - B[i]) + options.l1H);
    run.objective.push_back(zeroObjective + 0.5 * sum);

    const DenseProduct curvature{hessianStep.get(), half.hessian(), step.get(), k, k, n, k, false};
    run.stop = NmfStop::maxiter;
    run.iterations = 0;
    while (static_cast<double>(run.iterations) < options.maxiter) {
        // A pass on copies, so that one that gains too little leaves H as it is.
        splitColumns(workers, n, static_cast<double>(kn), [&](ColumnRange r) {
            for (std::ptrdiff_t i = r.begin * k; i < r.end * k; ++i) {
                candidate[i] = H[i];
                candidateG[i] = G[i];
            }
        });
        half.update(workers, problem, candidate.get(), candidateG.get(), n);
        // The gain −(⟨G, S⟩ + ½⟨S, Q·S⟩) of the step S the pass made.
        splitColumns(workers, n, static_cast<double>(kn), [&](ColumnRange r) {
            for (std::ptrdiff_t i = r.begin * k; i < r.end * k; ++i) step[i] = candidate[i] - H[i];
        });
        if (!splitDense(workers, curvature)) return outOfMemory;
        const double gain =
            -(dot(G.get(), step.get(), kn) + 0.5 * dot(step.get(), hessianStep.get(), kn));
        if (gain <= options.tol * zeroObjective) {
            run.stop = NmfStop::tol;
            break;
        }
        ++run.iterations;
        splitColumns(workers, n, static_cast<double>(kn), [&](ColumnRange r) {
            for (std::ptrdiff_t i = r.begin * k; i < r.end * k; ++i) H[i] = candidate[i];
        });
        if (!half.gradient(workers, problem, H, G.get(), n)) return outOfMemory;
        run.objective.push_back(run.objective.back() - gain);
    }
    return NmfStatus::done;
}

// Under a mask each column has a Hessian of its own, formed once, and is
// projected on its own (masked_half_step.h): the trace holds f at the
// start and, when any update was taken, at the end.
template <typename Index>
NmfStatus projectMasked(const Workers& workers, const MaskedData<Index>& mask,
                        const DataMatrix<Index>& data, std::ptrdiff_t k, const double* Wt,
                        double* H, const NmfProjectOptions& options, NmfProjectRun& run) {
    const NmfStatus outOfMemory = NmfStatus::outOfMemory;
    run.objective.clear();
    const std::ptrdiff_t m = data.rows(), n = data.columns();
    MaskedHalfStep step(k, workers.team.size(), mask.columns());
    std::unique_ptr<double[]> gram = doubles(k * k), B = doubles(k * n), zero = doubles(n);
    if (!step.prepare() || !gram || !B || !zero || !data.timesA(workers, B.get(), Wt, k) ||
        !splitGram(workers, gram.get(), Wt, k, m))
        return outOfMemory;
    mask.halfSquaredNorms(zero.get());
    MaskedProjection projection{options.tol, options.maxiter, 0, 0, 0, false};
    if (!step.project(workers, {gram.get(), B.get(), options.l1H, options.l2H, options.innerTol,
                                options.maxinner},
                      Wt, zero.get(), H, projection))
        return outOfMemory;
    run.objective.push_back(projection.before);
    if (projection.updates > 0) run.objective.push_back(projection.after);
    run.iterations = projection.updates;
    run.stop = projection.allMetTol ? NmfStop::tol : NmfStop::maxiter;
    return NmfStatus::done;
}

}  // namespace

template <typename Index>
NmfStatus nmfProjectWith(const SolverSetup& setup, const NmfMatrix<Index>& A, std::ptrdiff_t k,
                         const double* Wt, double* H, const NmfProjectOptions& options,
                         NmfProjectRun& run) {
    try {
        ThreadTeam team(teamSizeFor(options.threads, A.m > A.n ? A.m : A.n));
        run.threads = team.size();
        const Workers workers{team, *setup.greedy, *setup.product, setup.minimumPartWork,
                              setup.klGroupBytes};
        if (options.loss == NmfLoss::kl) {
            if (A.weights) return NmfStatus::weightsUnderKl;
            return klProject(workers, A, k, Wt, H, options, run);
        }
        std::unique_ptr<MaskedData<Index>> mask;
        if (!maskedDataOf(A, mask)) return NmfStatus::outOfMemory;
        DataMatrix<Index> data(mask ? mask->weighted() : A);
        if (!data.prepare()) return NmfStatus::outOfMemory;
        if (mask) return projectMasked(workers, *mask, data, k, Wt, H, options, run);
        return project(workers, data, k, Wt, H, options, run);
    } catch (const std::bad_alloc&) {  // the trace's growth
        return NmfStatus::outOfMemory;
    }
}

template <typename Index>
NmfStatus nmfProject(const NmfMatrix<Index>& A, std::ptrdiff_t k, const double* Wt, double* H,
                     const NmfProjectOptions& options, NmfProjectRun& run) {
    return nmfProjectWith(dispatchedSolverSetup(), A, k, Wt, H, options, run);
}

#define GREEDYSWEEP_PROJECT_FOR(Index)                                                          \
    template NmfStatus nmfProjectWith(const SolverSetup&, const NmfMatrix<Index>&,             \
                                      std::ptrdiff_t, const double*, double*,                  \
                                      const NmfProjectOptions&, NmfProjectRun&);               \
    template NmfStatus nmfProject(const NmfMatrix<Index>&, std::ptrdiff_t, const double*,      \
                                  double*, const NmfProjectOptions&, NmfProjectRun&);
GREEDYSWEEP_PROJECT_FOR(std::int32_t)
GREEDYSWEEP_PROJECT_FOR(std::int64_t)

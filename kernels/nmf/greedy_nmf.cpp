#include "no_fp_contract.h"

#include "greedy_nmf.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <utility>

#include "data_matrix.h"
#include "extrapolation.h"
#include "half_step.h"
#include "kl_nmf.h"
#include "masked_data.h"
#include "masked_half_step.h"
#include "objective.h"
#include "solver_setup.h"
#include "split_products.h"
#include "stop_rule.h"
#include "workers.h"

namespace {

struct Factors {
    double* Wt;  // k×m
    double* H;   // k×n
};

// Under a mask, `data` is the weighted Ã (masked_data.h) and each line of
// a factor has a Hessian of its own (masked_half_step.h); the rest of the
// loop is the same.
template <typename Index>
class Factorisation {
public:
    Factorisation(const Workers& workers, const DataMatrix<Index>& data, std::ptrdiff_t k,
                  const NmfOptions& options, const MaskedData<Index>* mask)
        : workers_(workers), data_(data), mask_(mask), k_(k), m_(data.rows()),
          n_(data.columns()), options_(options), half_(k, workers.team.size()) {}

    bool prepare() {
        const std::ptrdiff_t km = k_ * m_, kn = k_ * n_;
        HAt_ = doubles(km), GW_ = doubles(km), WA_ = doubles(kn), GH_ = doubles(kn);
        HHt_ = doubles(k_ * k_), WWt_ = doubles(k_ * k_);
        if (options_.extrapolate) spareWt_ = doubles(km), spareH_ = doubles(kn);
        if (mask_) {
            const int parts = workers_.team.size();
            maskedW_.reset(new (std::nothrow) MaskedHalfStep(k_, parts, mask_->rows()));
            maskedH_.reset(new (std::nothrow) MaskedHalfStep(k_, parts, mask_->columns()));
            if (!maskedW_ || !maskedH_ || !maskedW_->prepare() || !maskedH_->prepare())
                return false;
        }
        return HAt_ && GW_ && WA_ && GH_ && HHt_ && WWt_ && half_.prepare() &&
               (!options_.extrapolate || (spareWt_ && spareH_));
    }

    // From the start in `factors`; on return they hold the factors kept.
    NmfStatus run(Factors factors, NmfRun& run, NmfProgress progress, void* context);

private:
    bool penalised() const {
        return options_.l1W != 0.0 || options_.l2W != 0.0 || options_.l1H != 0.0 ||
               options_.l2H != 0.0;
    }
    double relativeError(double residual) const { return relativeErrorOf(residual, norm2_); }
    // f from the residual: W's penalties added first, then H's.
    double objective(double residual, const Factors& f) const {
        return residual + penaltyOf(f.Wt, k_, m_, options_.l1W, options_.l2W) +
               penaltyOf(f.H, k_, n_, options_.l1H, options_.l2H);
    }
    // ½‖A − W·H‖² from its expansion, with no m×n residual; forms H·Aᵀ, H·Hᵀ
    // and W'·W. Under a mask, the weighted sum over the observed entries,
    // formed directly.
    bool expandedResidual(const Factors& f, double& residual);
    // One half step: X against the other factor Y, whose Gram matrix and
    // product with A are given.
    bool halfStep(MaskedHalfStep* masked, const HalfStepProblem& problem, const double* Y,
                  double* X, double* G, std::ptrdiff_t columns);
    // One outer iteration on `f`: W against H, then H against W. False when
    // memory runs out.
    bool iterate(const Factors& f, bool first, double& residual);
    void copy(const Factors& to, const Factors& from);
    void pushOn(const Factors& to, const Factors& from, double beta);

    const Workers& workers_;
    const DataMatrix<Index>& data_;
    const MaskedData<Index>* mask_;
    std::ptrdiff_t k_, m_, n_;
    const NmfOptions& options_;
    double norm2_ = 0;
    HalfStep half_;
    std::unique_ptr<double[]> HAt_, GW_, WA_, GH_, HHt_, WWt_, spareWt_, spareH_;
    std::unique_ptr<MaskedHalfStep> maskedW_, maskedH_;
};

template <typename Index>
bool Factorisation<Index>::expandedResidual(const Factors& f, double& residual) {
    if (mask_) {
        residual = mask_->residual(workers_, f.Wt, f.H, k_);
        return true;
    }
    if (!data_.timesTransposed(workers_, HAt_.get(), f.H, k_) ||
        !splitGram(workers_, HHt_.get(), f.H, k_, n_) ||
        !splitGram(workers_, WWt_.get(), f.Wt, k_, m_))
        return false;
    residual = ::expandedResidual(norm2_, f.Wt, HAt_.get(), WWt_.get(), HHt_.get(), k_, m_);
    return true;
}

template <typename Index>
bool Factorisation<Index>::halfStep(MaskedHalfStep* masked, const HalfStepProblem& problem,
                                    const double* Y, double* X, double* G,
                                    std::ptrdiff_t columns) {
    if (!masked) return half_.run(workers_, problem, X, G, columns);
    return masked->run(workers_, problem, Y, X, G);
}

template <typename Index>
bool Factorisation<Index>::iterate(const Factors& f, bool first, double& residual) {
    // Unmasked, the first iteration finds H·Hᵀ and H·Aᵀ formed by the
    // start's objective.
    const bool formedByStart = first && !mask_;
    if (!formedByStart && (!splitGram(workers_, HHt_.get(), f.H, k_, n_) ||
                   !data_.timesTransposed(workers_, HAt_.get(), f.H, k_)))
        return false;
    const NmfOptions& o = options_;
    if (!halfStep(maskedW_.get(), {HHt_.get(), HAt_.get(), o.l1W, o.l2W, o.innerTol, o.maxinner},
                  f.H, f.Wt, GW_.get(), m_) ||
        !splitGram(workers_, WWt_.get(), f.Wt, k_, m_) || !data_.timesA(workers_, WA_.get(), f.Wt, k_) ||
        !halfStep(maskedH_.get(), {WWt_.get(), WA_.get(), o.l1H, o.l2H, o.innerTol, o.maxinner},
                  f.Wt, f.H, GH_.get(), n_))
        return false;
    // GH = (W'W + l2H·I)·H − W'A + l1H at the new H, so ½⟨H, W'W·H⟩ − ⟨H, W'A⟩
    // needs no further product: half of ⟨H, GH − W'A⟩, less half of H's
    // penalty terms without their own halves.
    double surplus = 0.0;
    if (o.l1H != 0.0 || o.l2H != 0.0)
        surplus = 0.5 * (o.l1H * sumOfColumnSums(f.H, k_, n_) + o.l2H * dot(f.H, f.H, k_ * n_));
    residual = atLeastZero(0.5 * (norm2_ + dotWithDifference(f.H, GH_.get(), WA_.get(), k_ * n_)) -
                           surplus);
    return true;
}

template <typename Index>
void Factorisation<Index>::copy(const Factors& to, const Factors& from) {
    const std::ptrdiff_t k = k_;
    splitColumns(workers_, m_, static_cast<double>(k) * m_, [&](ColumnRange r) {
        for (std::ptrdiff_t i = r.begin * k; i < r.end * k; ++i) to.Wt[i] = from.Wt[i];
    });
    splitColumns(workers_, n_, static_cast<double>(k) * n_, [&](ColumnRange r) {
        for (std::ptrdiff_t i = r.begin * k; i < r.end * k; ++i) to.H[i] = from.H[i];
    });
}

// `to` holds the factors before the step that found `from`, and is
// overwritten with `from` pushed on along that step.
template <typename Index>
void Factorisation<Index>::pushOn(const Factors& to, const Factors& from, double beta) {
    const std::ptrdiff_t k = k_;
    splitColumns(workers_, m_, static_cast<double>(k) * m_, [&](ColumnRange r) {
        for (std::ptrdiff_t i = r.begin * k; i < r.end * k; ++i)
            to.Wt[i] = pushedOn(from.Wt[i], to.Wt[i], beta);
    });
    splitColumns(workers_, n_, static_cast<double>(k) * n_, [&](ColumnRange r) {
        for (std::ptrdiff_t i = r.begin * k; i < r.end * k; ++i)
            to.H[i] = pushedOn(from.H[i], to.H[i], beta);
    });
}

template <typename Index>
NmfStatus Factorisation<Index>::run(Factors factors, NmfRun& run, NmfProgress progress,
                                    void* context) {
    const NmfStatus outOfMemory = NmfStatus::outOfMemory;
    const Clock clock(options_.elapsed);
    // The trace is this call's, even in a run handed in used: the stop
    // test reads it back.
    run.objective.clear();
    run.seconds.clear();
    norm2_ = mask_ ? mask_->squaredNorm() : data_.squaredNorm();
    const auto report = [&](std::int64_t iteration, double f, double residual, double change,
                            double seconds, bool undone) {
        run.objective.push_back(f);
        run.seconds.push_back(seconds);
        if (progress)
            progress(context, {iteration, f, relativeError(residual), change, seconds, undone});
    };

    double residual;
    if (!expandedResidual(factors, residual)) return outOfMemory;
    double keptF = objective(residual, factors), keptResidual = residual;
    report(0, keptF, keptResidual, std::numeric_limits<double>::quiet_NaN(), clock.seconds(), false);

    // The run keeps the factors of the lowest f so far. With extrapolation
    // each iteration may start beyond them, from the kept factors pushed on
    // along the last step, in storage of its own; an iteration that raises
    // f from there is undone. Without, no iteration is undone, and the
    // factors kept are those the iterations work on.
    Factors kept = factors, current = factors;
    if (options_.extrapolate) {
        current = {spareWt_.get(), spareH_.get()};
        copy(current, kept);
    }
    Extrapolation push;
    bool pushed = false;
    run.stop = NmfStop::maxiter;
    std::int64_t iteration = 0;
    while (static_cast<double>(iteration) < options_.maxiter) {
        ++iteration;
        if (!iterate(current, iteration == 1, residual)) return outOfMemory;
        const double f = objective(residual, current);
        const double fBefore = keptF;
        // One from the kept factors themselves is kept even if rounding
        // raised f, so that a converged run still meets tol.
        const bool undone = pushed && !(f <= keptF);
        if (undone) {
            push.undone();
            copy(current, kept);
            pushed = false;
        } else {
            keptF = f;
            keptResidual = residual;
            if (options_.extrapolate) {
                pushOn(kept, current, push.beta);
                std::swap(kept, current);
                push.pushed();
                pushed = true;
            }
        }
        const double seconds = clock.seconds();
        const double change = std::fabs(fBefore - keptF);
        const double smallest = std::numeric_limits<double>::min();
        report(iteration, keptF, keptResidual, change / (fBefore > smallest ? fBefore : smallest),
               seconds, undone);
        if (!undone && fallWithinTol(run.objective, iteration, options_.tol)) {
            run.stop = NmfStop::tol;
            break;
        }
        if (seconds > options_.maxtime) {
            run.stop = NmfStop::maxtime;
            break;
        }
    }
    run.iterations = iteration;

    // Penalised, the residual from its own expansion, not as the difference
    // of two larger numbers.
    if (penalised() && !expandedResidual(kept, keptResidual)) return outOfMemory;
    run.relativeError = relativeError(keptResidual);
    if (kept.Wt != factors.Wt) copy(factors, kept);
    return NmfStatus::done;
}

}  // namespace

SolverSetup dispatchedSolverSetup() {
    // A part of 2^17 multiply-adds takes some tens of microseconds: more
    // than waking a worker costs.
    // Four lines' packed columns in 64 MiB: a line alone can be as large
    // as A's row.
    return {&kernelTable(dispatchedPath(Kernel::greedyUpdate)),
            &kernelTable(dispatchedPath(Kernel::product)), 131072.0, 64.0 * 1024 * 1024};
}

SolverSetup solverSetupOn(KernelPath path) {
    SolverSetup setup = dispatchedSolverSetup();
    setup.greedy = setup.product = &kernelTable(path);
    return setup;
}

template <typename Index>
NmfStatus greedyNmfWith(const SolverSetup& setup, const NmfMatrix<Index>& A, std::ptrdiff_t k,
                        double* Wt, double* H, const NmfOptions& options, NmfRun& run,
                        NmfProgress progress, void* context) {
    try {
        ThreadTeam team(teamSizeFor(options.threads, A.m > A.n ? A.m : A.n));
        run.threads = team.size();
        const Workers workers{team, *setup.greedy, *setup.product, setup.minimumPartWork,
                              setup.klGroupBytes};
        if (options.loss == NmfLoss::kl) {
            if (A.weights) return NmfStatus::weightsUnderKl;
            return klFactorise(workers, A, k, Wt, H, options, run, progress, context);
        }
        std::unique_ptr<MaskedData<Index>> mask;
        if (!maskedDataOf(A, mask)) return NmfStatus::outOfMemory;
        DataMatrix<Index> data(mask ? mask->weighted() : A);
        Factorisation<Index> factorisation(workers, data, k, options, mask.get());
        if (!data.prepare() || !factorisation.prepare()) return NmfStatus::outOfMemory;
        return factorisation.run({Wt, H}, run, progress, context);
    } catch (const std::bad_alloc&) {  // the trace's growth
        return NmfStatus::outOfMemory;
    }
}

template <typename Index>
NmfStatus greedyNmf(const NmfMatrix<Index>& A, std::ptrdiff_t k, double* Wt, double* H,
                    const NmfOptions& options, NmfRun& run, NmfProgress progress,
                    void* context) {
    return greedyNmfWith(dispatchedSolverSetup(), A, k, Wt, H, options, run, progress, context);
}

template <typename Index>
bool greedyNmfOn(KernelPath path, NmfStatus& status, const NmfMatrix<Index>& A,
                 std::ptrdiff_t k, double* Wt, double* H, const NmfOptions& options,
                 NmfRun& run) {
    if (!kernelPathAvailable(path)) return false;
    status = greedyNmfWith(solverSetupOn(path), A, k, Wt, H, options, run, nullptr, nullptr);
    return true;
}

#define GREEDYSWEEP_NMF_FOR(Index)                                                              \
    template NmfStatus greedyNmfWith(const SolverSetup&, const NmfMatrix<Index>&, std::ptrdiff_t, \
                                     double*, double*, const NmfOptions&, NmfRun&, NmfProgress,  \
                                     void*);                                                     \
    template NmfStatus greedyNmf(const NmfMatrix<Index>&, std::ptrdiff_t, double*, double*,      \
                                 const NmfOptions&, NmfRun&, NmfProgress, void*);                \
    template bool greedyNmfOn(KernelPath, NmfStatus&, const NmfMatrix<Index>&, std::ptrdiff_t,   \
                              double*, double*, const NmfOptions&, NmfRun&);
GREEDYSWEEP_NMF_FOR(std::int32_t)
GREEDYSWEEP_NMF_FOR(std::int64_t)

#include "no_fp_contract.h"

#include "masked_half_step.h"

#include <atomic>
#include <new>

#include "../greedy_problem.h"
#include "../product_problem.h"
#include "objective.h"

bool MaskedHalfStep::prepare() {
    const std::ptrdiff_t k = k_, panel = k * lines_.longest;
    scratch_.reset(new (std::nothrow) Scratch[parts_]);
    if (!scratch_) return false;
    for (int part = 0; part < parts_; ++part) {
        Scratch& s = scratch_[part];
        s.storage = doubles(2 * panel + 2 * k * k + 6 * k);
        if (!s.storage) return false;
        s.X = s.storage.get(), s.Yt = s.X + panel;
        s.Q = s.Yt + panel, s.listedPart = s.Q + k * k;
        s.diag = s.listedPart + k * k, s.halfDiag = s.diag + k;
        s.x = s.halfDiag + k, s.g = s.x + k, s.step = s.g + k, s.Qs = s.step + k;
    }
    return true;
}

bool MaskedHalfStep::formHessian(const KernelTable& product, const HalfStepProblem& problem,
                                 const double* Y, std::ptrdiff_t line, Scratch& s) const {
    const std::ptrdiff_t k = k_, begin = lines_.start[line], listed = lines_.listed(line);
    const double* weight = lines_.weight.get() + begin;
    // X = the listed entries' columns of Y, each times its weight, and Yt
    // the same columns unweighted as rows, so that the product X·Yt reads
    // both in storage order: Σ (w·y)·yᵀ over the list, each entry one
    // running sum in list order.
    for (std::ptrdiff_t t = 0; t < listed; ++t) {
        const double* y = Y + static_cast<std::ptrdiff_t>(lines_.index[begin + t]) * k;
        for (std::ptrdiff_t r = 0; r < k; ++r) {
            s.X[r + t * k] = weight[t] * y[r];
            s.Yt[t + r * listed] = y[r];
        }
    }
    const bool missing = lines_.listsMissing[line];
    if (!denseProductWith(product, {missing ? s.listedPart : s.Q, s.X, s.Yt, k, listed, k, listed,
                                    false}))
        return false;
    if (missing)
        for (std::ptrdiff_t i = 0; i < k * k; ++i) s.Q[i] = problem.gram[i] - s.listedPart[i];
    for (std::ptrdiff_t i = 0; i < k; ++i) {
        if (problem.l2 != 0.0) s.Q[i * (k + 1)] = s.Q[i * (k + 1)] + problem.l2;
        s.diag[i] = s.Q[i * (k + 1)];
        s.halfDiag[i] = s.diag[i] * 0.5;
    }
    return true;
}

bool MaskedHalfStep::formGradient(const KernelTable& product, const HalfStepProblem& problem,
                                  std::ptrdiff_t line, const double* x, double* g,
                                  const Scratch& s) const {
    const std::ptrdiff_t k = k_;
    if (!denseProductWith(product, {g, s.Q, x, k, k, 1, k, false})) return false;
    const double* b = problem.B + line * k;
    for (std::ptrdiff_t i = 0; i < k; ++i) {
        g[i] = g[i] - b[i];
        if (problem.l1 != 0.0) g[i] = g[i] + problem.l1;
    }
    return true;
}

void MaskedHalfStep::update(const Workers& workers, const HalfStepProblem& problem, double* x,
                            double* g, const Scratch& s) const {
    const GreedyProblem p{g, s.Q, x, s.diag, s.halfDiag, 1, static_cast<std::int32_t>(k_),
                          problem.maxinner};
    workers.greedy.greedyColumns(p, workers.greedy.initialReduction(p) * problem.tol, 0);
}

namespace {

// f(line, part) for every line, the parts claiming chunks of them; false
// when any call of f was.
template <class F>
bool forEachLine(const Workers& workers, const ObservedLines& lines, std::ptrdiff_t k, const F& f) {
    const double work = static_cast<double>(k) * k *
                        static_cast<double>(lines.start[lines.lines] + lines.lines);
    const int parts = workers.partsFor(lines.lines, work);
    const int chunks = chunksFor(parts, lines.lines);
    std::atomic<bool> done{true};
    claimChunks(
        workers, parts, chunks, [&](int c) { return columnsOfPart(lines.lines, chunks, c); },
        [&](ColumnRange r, int part) {
            for (std::ptrdiff_t line = r.begin; line < r.end; ++line)
                if (!f(line, part)) {
                    done = false;
                    return;
                }
        });
    return done;
}

}  // namespace

bool MaskedHalfStep::run(const Workers& workers, const HalfStepProblem& problem, const double* Y,
                         double* X, double* G) {
    const std::ptrdiff_t k = k_;
    const KernelTable& product = productTableFor(workers.product, k);
    return forEachLine(workers, lines_, k, [&](std::ptrdiff_t line, int part) {
        Scratch& s = scratch_[part];
        double* x = X + line * k;
        double* g = G + line * k;
        if (!formHessian(product, problem, Y, line, s)) return false;
        if (lines_.observed[line] == 0)
            for (std::ptrdiff_t i = 0; i < k; ++i) x[i] = 0.0;
        if (!formGradient(product, problem, line, x, g, s)) return false;
        update(workers, problem, x, g, s);
        return true;
    });
}

bool MaskedHalfStep::project(const Workers& workers, const HalfStepProblem& problem,
                             const double* Y, const double* zero, double* X,
                             MaskedProjection& projection) {
    const std::ptrdiff_t k = k_, lines = lines_.lines;
    // Each line's f and updates, summed in line order however the lines are cut.
    std::unique_ptr<double[]> before = doubles(lines), after = doubles(lines);
    std::unique_ptr<std::int64_t[]> updatesOf(new (std::nothrow) std::int64_t[lines > 0 ? lines : 1]);
    std::unique_ptr<bool[]> metTol(new (std::nothrow) bool[lines > 0 ? lines : 1]);
    if (!before || !after || !updatesOf || !metTol) return false;
    const KernelTable& product = productTableFor(workers.product, k);
    const bool done = forEachLine(workers, lines_, k, [&](std::ptrdiff_t line, int part) {
        Scratch& s = scratch_[part];
        double* x = X + line * k;
        const double* b = problem.B + line * k;
        if (!formHessian(product, problem, Y, line, s)) return false;
        if (lines_.observed[line] == 0)
            for (std::ptrdiff_t i = 0; i < k; ++i) x[i] = 0.0;
        double* g = s.g;  // the gradient at x, formed afresh before each update
        if (!formGradient(product, problem, line, x, g, s)) return false;
        // f = zero + ½·⟨x, (g − b) + l1⟩.
        double sum = 0.0;
        for (std::ptrdiff_t i = 0; i < k; ++i) sum = sum + x[i] * ((g[i] - b[i]) + problem.l1);
        double f = zero[line] + 0.5 * sum;
        before[line] = f;
        std::int64_t updates = 0;
        bool met = false;
        while (static_cast<double>(updates) < projection.maxiter) {
            // The update on copies (step holds the gradient's until the update ends).
            for (std::ptrdiff_t i = 0; i < k; ++i) s.x[i] = x[i], s.step[i] = g[i];
            update(workers, problem, s.x, s.step, s);
            // The gain −(⟨g, s⟩ + ½⟨s, Q·s⟩) of the step s the update made.
            for (std::ptrdiff_t i = 0; i < k; ++i) s.step[i] = s.x[i] - x[i];
            if (!denseProductWith(product, {s.Qs, s.Q, s.step, k, k, 1, k, false})) return false;
            const double gain = -(dot(g, s.step, k) + 0.5 * dot(s.step, s.Qs, k));
            if (gain <= projection.tol * zero[line]) {
                met = true;
                break;
            }
            ++updates;
            for (std::ptrdiff_t i = 0; i < k; ++i) x[i] = s.x[i];
            if (!formGradient(product, problem, line, x, g, s)) return false;
            f = f - gain;
        }
        after[line] = f;
        updatesOf[line] = updates;
        metTol[line] = met;
        return true;
    });
    if (!done) return false;
    projection.before = projection.after = 0.0;
    projection.updates = 0;
    projection.allMetTol = true;
    for (std::ptrdiff_t line = 0; line < lines; ++line) {
        projection.before = projection.before + before[line];
        projection.after = projection.after + after[line];
        if (updatesOf[line] > projection.updates) projection.updates = updatesOf[line];
        projection.allMetTol = projection.allMetTol && metTol[line];
    }
    return true;
}

#include "no_fp_contract.h"

#include "half_step.h"

#include <atomic>
#include <new>

#include "../greedy_problem.h"
#include "../product_problem.h"

namespace {

// The columns c0 … c1−1 of a greedy problem alone.
GreedyProblem columnsOf(const GreedyProblem& p, std::ptrdiff_t c0, std::ptrdiff_t c1) {
    return {p.GW + p.columnStart(c0), p.HHt, p.W + p.columnStart(c0), p.diag, p.halfDiag,
            static_cast<std::int32_t>(c1 - c0), p.k, p.maxinner};
}

}  // namespace

bool HalfStep::prepare() {
    Q_.reset(new (std::nothrow) double[k_ * k_]);
    diag_.reset(new (std::nothrow) double[2 * k_]);
    largest_.reset(new (std::nothrow) double[parts_]);
    return Q_ && diag_ && largest_;
}

bool HalfStep::gradient(const Workers& workers, const HalfStepProblem& problem, double* X,
                        double* G, std::ptrdiff_t columns) {
    const std::ptrdiff_t k = k_;
    double* const Q = Q_.get();
    for (std::ptrdiff_t i = 0; i < k * k; ++i) Q[i] = problem.gram[i];
    if (problem.l2 != 0.0)
        for (std::ptrdiff_t i = 0; i < k; ++i) Q[i * (k + 1)] = Q[i * (k + 1)] + problem.l2;
    // The diagonal and its halves, as the greedy update's entry point makes them.
    double* const diag = diag_.get();
    double* const halfDiag = diag + k;
    for (std::ptrdiff_t i = 0; i < k; ++i) {
        diag[i] = Q[i * (k + 1)];
        halfDiag[i] = diag[i] * 0.5;
    }

    const DenseProduct product{G, Q, X, k, k, columns, k, false};
    const int parts = workers.partsFor(columns, static_cast<double>(k) * k * columns);
    const int chunks = chunksFor(parts, columns);
    double* const largest = largest_.get();
    for (int part = 0; part < parts; ++part) largest[part] = 0.0;
    std::atomic<bool> done{true};
    // The largest reduction is a maximum, the same however the columns are cut.
    const auto cut = [&](int c) { return columnsOfPart(columns, chunks, c); };
    claimChunks(workers, parts, chunks, cut, [&](ColumnRange r, int part) {
        if (!denseProductWith(productTableFor(workers.product, k), product.columns(r.begin, r.end))) {
            done = false;
            return;
        }
        const double* b = problem.B + r.begin * k;
        double* g = G + r.begin * k;
        for (std::ptrdiff_t i = 0, count = (r.end - r.begin) * k; i < count; ++i) {
            g[i] = g[i] - b[i];
            if (problem.l1 != 0.0) g[i] = g[i] + problem.l1;
        }
        const GreedyProblem mine{g, Q, X + r.begin * k, diag, halfDiag,
                                 static_cast<std::int32_t>(r.end - r.begin),
                                 static_cast<std::int32_t>(k), problem.maxinner};
        const double reduction = workers.greedy.initialReduction(mine);
        if (reduction > largest[part]) largest[part] = reduction;
    });
    if (!done) return false;
    double init = 0.0;
    for (int part = 0; part < parts; ++part)
        if (largest[part] > init) init = largest[part];
    threshold_ = init * problem.tol;
    return true;
}

void HalfStep::update(const Workers& workers, const HalfStepProblem& problem, double* X,
                      double* G, std::ptrdiff_t columns) const {
    const std::ptrdiff_t k = k_;
    const GreedyProblem whole{G, Q_.get(), X, diag_.get(), diag_.get() + k,
                              static_cast<std::int32_t>(columns), static_cast<std::int32_t>(k),
                              problem.maxinner};
    // Columns make from none to maxinner moves: the parts claim chunks of them.
    const int parts = workers.partsFor(columns, static_cast<double>(k) * k * columns);
    const int chunks = chunksFor(parts, columns);
    claimChunks(
        workers, parts, chunks, [&](int c) { return columnsOfPart(columns, chunks, c); },
        [&](ColumnRange r, int) {
            workers.greedy.greedyColumns(columnsOf(whole, r.begin, r.end), threshold_, 0);
        });
}

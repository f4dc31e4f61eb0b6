#include "../no_fp_contract.h"

#include <cstddef>
#include <cstdint>

#include "../kernel_rules.h"
#include "../kernel_table.h"
#include "../kl_loops.h"
#include "scalar_products.h"

// The scalar path, for CPUs with no vector path: the greedy update one entry
// at a time, the sweep four columns at a time so that each column of M is read
// once for all four.

namespace {

double initialReduction(const GreedyProblem& p) {
    double init = 0.0;
    for (std::ptrdiff_t j = 0; j < p.n; ++j) {
        const double* g = p.GW + p.columnStart(j);
        const double* w = p.W + p.columnStart(j);
        for (std::ptrdiff_t i = 0; i < p.k; ++i) {
            double r = greedyReduction(g[i], greedyStep(g[i], w[i], p.diag[i]), p.diag[i]);
            if (r > init) init = r;
        }
    }
    return init;
}

// Scans the column; returns the row with the strictly largest positive
// reduction (lowest row on ties), or −1.
std::ptrdiff_t bestMove(const GreedyProblem& p, const double* g, const double* w,
                        double& bestReduction) {
    std::ptrdiff_t best = -1;
    bestReduction = 0.0;
    for (std::ptrdiff_t i = 0; i < p.k; ++i) {
        double s = greedyStep(g[i], w[i], p.diag[i]);
        double r = greedyReduction(g[i], s, p.diag[i]);
        if (r > bestReduction) {
            bestReduction = r;
            best = i;
        }
    }
    return best;
}

void greedyColumns(const GreedyProblem& p, double threshold, std::int32_t firstColumn) {
    for (std::ptrdiff_t j = firstColumn; j < p.n; ++j) {
        double* g = p.GW + p.columnStart(j);
        double* w = p.W + p.columnStart(j);
        for (std::int32_t moves = 0; moves < p.maxinner; ++moves) {
            double bestReduction;
            std::ptrdiff_t best = bestMove(p, g, w, bestReduction);
            if (best < 0) break;

            // The scan's own step, recomputed from the same operands.
            double s = greedyStep(g[best], w[best], p.diag[best]);
            w[best] = s + w[best];
            const double* hessianColumn = p.HHt + p.columnStart(best);
            for (std::ptrdiff_t l = 0; l < p.k; ++l) g[l] = s * hessianColumn[l] + g[l];

            // The move above is kept even when it is the one that stops the column.
            if (threshold > bestReduction) break;
        }
    }
}

// Right-looking order: once x_j is known, M(r,j)·x_j is added into the running
// sums of rows r > j, which wait in the not-yet-final rows of X. Each row's sum
// still runs over l = 0 … j−1 in increasing order, starting from +0.0, and
// column j of M is read contiguously, once for `Columns` columns of C.
template <int Columns, class Rule>
void sweepColumns(double* X, const double* M, const double* C, Rule rule, std::ptrdiff_t rows,
                  std::ptrdiff_t i0) {
    double* x[Columns];
    const double* c[Columns];
    for (int b = 0; b < Columns; ++b) {
        x[b] = X + (i0 + b) * rows;
        c[b] = C + (i0 + b) * rows;
        for (std::ptrdiff_t r = 0; r < rows; ++r) x[b][r] = 0.0;
    }
    for (std::ptrdiff_t j = 0; j < rows; ++j) {
        const double* column = M + j * rows;
        const double d = column[j];
        double xj[Columns];
        for (int b = 0; b < Columns; ++b) {
            double q = -((x[b][j] + c[b][j]) / d);
            xj[b] = rule(q, d);
            x[b][j] = xj[b];
        }
        for (std::ptrdiff_t r = j + 1; r < rows; ++r)
            for (int b = 0; b < Columns; ++b) x[b][r] = x[b][r] + column[r] * xj[b];
    }
}

template <class Rule>
void sweep(double* X, const double* M, const double* C, double lambda, std::int32_t n,
           std::int32_t m) {
    const Rule rule(lambda);
    constexpr std::ptrdiff_t kColumns = 4;
    std::ptrdiff_t i = 0;
    for (; i + kColumns <= m; i += kColumns) sweepColumns<kColumns>(X, M, C, rule, n, i);
    for (; i < m; ++i) sweepColumns<1>(X, M, C, rule, n, i);
}

}  // namespace

const KernelTable scalarKernels = {initialReduction,        greedyColumns,
                                   sweep<HardThresholdRule>, sweep<NonNegativeRule>,
                                   scalar_product::dense,   scalar_product::sparse<std::int32_t>,
                                   scalar_product::sparse<std::int64_t>, klScaledAddScalar,
                                   klSlopeSumsScalar};

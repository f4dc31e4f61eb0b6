#include "../no_fp_contract.h"

#include <cstddef>
#include <cstdint>

#include "../paths.h"

namespace scalar_path {
// Largest reduction available anywhere in W at entry; never negative, and a
// NaN reduction never raises it.
double initialReduction(const GreedyProblem& p) {
    double init = 0.0;
    for (std::ptrdiff_t j = 0; j < p.n; ++j) {
        const double* g = p.GW + p.columnStart(j);
        const double* w = p.W + p.columnStart(j);
        for (std::int32_t i = 0; i < p.k; ++i) {
            double r = greedyReduction(g[i], greedyStep(g[i], w[i], p.diag[i]), p.diag[i]);
            if (r > init) init = r;
        }
    }
    return init;
}

namespace {

// Scans the column, leaving every entry's step in p.step; returns the row with
// the strictly largest positive reduction (lowest row on ties), or −1.
std::int32_t bestMove(const GreedyProblem& p, const double* g, const double* w,
                      double& bestReduction) {
    std::int32_t best = -1;
    bestReduction = 0.0;
    for (std::int32_t i = 0; i < p.k; ++i) {
        double s = greedyStep(g[i], w[i], p.diag[i]);
        double r = greedyReduction(g[i], s, p.diag[i]);
        p.step[i] = s;
        if (r > bestReduction) {
            bestReduction = r;
            best = i;
        }
    }
    return best;
}

}  // namespace

void greedyColumns(const GreedyProblem& p, double threshold) {
    for (std::ptrdiff_t j = p.firstColumn; j < p.n; ++j) {
        double* g = p.GW + p.columnStart(j);
        double* w = p.W + p.columnStart(j);
        for (std::int32_t moves = 0; moves < p.maxinner; ++moves) {
            double bestReduction;
            std::int32_t best = bestMove(p, g, w, bestReduction);
            if (best < 0) break;

            double s = p.step[best];
            w[best] = s + w[best];
            const double* hessianColumn = p.HHt + p.columnStart(best);
            for (std::int32_t l = 0; l < p.k; ++l) g[l] = s * hessianColumn[l] + g[l];

            // The move above is kept even when it is the one that stops the column.
            if (threshold > bestReduction) break;
        }
    }
}

}  // namespace scalar_path

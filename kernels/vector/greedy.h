#pragma once

// The greedy update over a vector layer L, four rows at a time on AVX2,
// eight on AVX-512, two on NEON.
//
// A move's gradient update and the scan for the next move share one pass
// over the column. The argmax keeps, per lane, the largest reduction and its
// lowest row; lanes are merged at the end with ties going to the lower row,
// which is the scan's order-of-rows result. The chosen row's step is
// recomputed from the same operands rather than kept for every row.

#include <cstddef>
#include <cstdint>

#include "../greedy_problem.h"

namespace {
namespace vector_greedy {

struct Move {
    std::ptrdiff_t row;  // −1: no entry can lower the objective
    double reduction;
};

// Per lane, the most negative change seen (the largest reduction, sign
// flipped) and the lowest row that has it, as a double (exact far beyond any k).
template <class L>
struct LaneBest {
    typename L::Vec change, row;
};

// Change of the objective for rows i … i + lanes − 1 of one column (fewer at
// the end of the column, lanes outside the part reading +0.0): first, with
// `update`, the previous move's gradient update g += s·hessianColumn. halfDiag
// holds d·0.5, the same rounded product greedyChange forms.
template <class L, bool update>
inline typename L::Vec chunkChange(const double* diag, const double* halfDiag, double* g,
                                   const double* w, const double* hessianColumn,
                                   typename L::Vec moved, std::ptrdiff_t i,
                                   typename L::Part part) {
    using V = typename L::Vec;
    V gi = L::load(g + i, part);
    if (update) {
        gi = moved * L::load(hessianColumn + i, part) + gi;
        L::store(g + i, part, gi);
    }
    const V d = L::load(diag + i, part);
    const V s = greedyStep(gi, L::load(w + i, part), d);
    return greedyChangeFromHalf(gi, s, L::load(halfDiag + i, part));
}

// The best of all lanes: the most negative change, ties to the lowest row. No
// lane holds a NaN, and a lane without a move holds −0.0 and row −1.
template <class L>
inline Move mergeLanes(LaneBest<L> lanes) {
    using V = typename L::Vec;
    const double smallest = L::smallestLane(lanes.change);
    // Lanes without the smallest change take a row above any real one.
    const double lowestRow =
        L::smallestLane(select(lanes.change == V(smallest), lanes.row, V(1e300)));
    return {static_cast<std::ptrdiff_t>(lowestRow), -smallest};
}

template <class L>
inline void addMove(const GreedyProblem& p, double* g, const double* hessianColumn, double s) {
    using V = typename L::Vec;
    const V moved(s);
    for (std::ptrdiff_t i = 0; i < p.k; i += L::lanes) {
        const auto part = L::firstLanes(p.k - i);
        L::store(g + i, part, moved * L::load(hessianColumn + i, part) + L::load(g + i, part));
    }
}

// Largest reduction anywhere in W at entry: a max of non-negative, non-NaN
// values, so the lanes may be merged in any order.
template <class L>
double initialReduction(const GreedyProblem& p) {
    using V = typename L::Vec;
    V init(0.0);
    for (std::ptrdiff_t j = 0; j < p.n; ++j) {
        const double* g = p.GW + p.columnStart(j);
        const double* w = p.W + p.columnStart(j);
        for (std::ptrdiff_t i = 0; i < p.k; i += L::lanes) {
            const auto part = L::firstLanes(p.k - i);
            const V gi = L::load(g + i, part), d = L::load(p.diag + i, part);
            const V r = greedyReduction(gi, greedyStep(gi, L::load(w + i, part), d), d);
            init = select((r > init) & L::inPart(part), r, init);
        }
    }
    double lanes[L::lanes];
    L::store(lanes, init);
    double largest = 0.0;
    for (double v : lanes)
        if (v > largest) largest = v;
    return largest;
}

// One column's way through its moves.
struct Column {
    double* g = nullptr;
    double* w = nullptr;
    Move move{-1, 0.0};      // the best move of the latest scan
    std::int32_t moves = 0;  // moves made so far
    bool finished = true;
    // The latest move's gradient update, which the next scan applies first
    // (none before the first scan).
    const double* hessianColumn = nullptr;
    double step = 0.0;
};

// Scans `width` columns side by side, chunk by chunk, each for its best
// move; with `update`, each first applies its previous move's gradient update
// g += s·hessianColumn in the same pass. The columns' chains (the scan, the
// lane merge, the move, the next scan's first chunks) are independent, so
// interleaving them lets one column's latency hide behind another's work.
template <class L, int width, bool update>
inline void scanColumns(const GreedyProblem& p, Column* const* group) {
    using V = typename L::Vec;
    constexpr std::ptrdiff_t lanes = L::lanes;
    const std::ptrdiff_t k = p.k;
    double* g[width];
    const double* w[width];
    const double* hessianColumn[width];
    V moved[width];
    LaneBest<L> best[width];
    for (int c = 0; c < width; ++c) {
        g[c] = group[c]->g;
        w[c] = group[c]->w;
        hessianColumn[c] = group[c]->hessianColumn;
        moved[c] = V(group[c]->step);
        best[c] = {V(-0.0), V(-1.0)};  // −0.0: the flip of the scan's starting +0.0
    }
    // Locals, which the stores to g cannot alias, so they stay in registers.
    const double* const diag = p.diag;
    const double* const halfDiag = p.halfDiag;
    const V chunkRows(static_cast<double>(lanes));
    V row = L::laneNumbers();
    const auto full = L::firstLanes(lanes);
    std::ptrdiff_t i = 0;
    for (; i + lanes <= k; i += lanes) {
        for (int c = 0; c < width; ++c) {
            const V change = chunkChange<L, update>(diag, halfDiag, g[c], w[c], hessianColumn[c],
                                                    moved[c], i, full);
            best[c].row = select(change < best[c].change, row, best[c].row);
            best[c].change = smaller(change, best[c].change);
        }
        row = row + chunkRows;
    }
    if (i < k) {
        const auto part = L::firstLanes(k - i);
        for (int c = 0; c < width; ++c) {
            const V change = chunkChange<L, update>(diag, halfDiag, g[c], w[c], hessianColumn[c],
                                                    moved[c], i, part);
            const auto better = (change < best[c].change) & L::inPart(part);
            best[c].change = select(better, change, best[c].change);
            best[c].row = select(better, row, best[c].row);
        }
    }
    for (int c = 0; c < width; ++c) {
        group[c]->move = mergeLanes<L>(best[c]);
        group[c]->finished = group[c]->move.row < 0;
    }
}

// Scans the `count` columns of `group`, all with or all without a pending
// gradient update, `width` at a time and the rest one by one.
template <class L, bool update>
inline void scanGroup(const GreedyProblem& p, Column* const* group, int count) {
    constexpr int width = L::greedyColumnsInterleaved;
    int c = 0;
    for (; c + width <= count; c += width) scanColumns<L, width, update>(p, group + c);
    for (; c < count; ++c) scanColumns<L, 1, update>(p, group + c);
}

// Makes the move the latest scan chose and leaves its gradient update to the
// next scan, unless the column stops here. The move is kept even when it is
// the one that stops the column. The chosen row's step is recomputed from
// the operands the scan used, which gives the scan's bits.
template <class L>
inline void makeMove(const GreedyProblem& p, double threshold, Column& c) {
    const std::ptrdiff_t row = c.move.row;
    const double s = greedyStep(c.g[row], c.w[row], p.diag[row]);
    c.w[row] = s + c.w[row];
    const double* hessianColumn = p.HHt + p.columnStart(row);
    ++c.moves;
    if (threshold > c.move.reduction || c.moves >= p.maxinner) {
        addMove<L>(p, c.g, hessianColumn, s);
        c.finished = true;
        return;
    }
    c.hessianColumn = hessianColumn;
    c.step = s;
}

// Columns are independent problems. A few are taken in turns: all of them
// scan, then all of them move, so that the scans' divisions and the moves'
// reductions of different columns run side by side; the scans themselves
// interleave L::greedyColumnsInterleaved columns chunk by chunk.
template <class L>
GREEDYSWEEP_FLATTEN void greedyColumns(const GreedyProblem& p, double threshold,
                                       std::int32_t firstColumn) {
    constexpr std::ptrdiff_t inFlight = L::greedyColumnsInFlight;
    if (p.maxinner <= 0) return;  // every column is finished before its first scan
    for (std::ptrdiff_t j0 = firstColumn; j0 < p.n; j0 += inFlight) {
        Column columns[inFlight];
        for (std::ptrdiff_t c = 0; c < inFlight && j0 + c < p.n; ++c) {
            columns[c].g = p.GW + p.columnStart(j0 + c);
            columns[c].w = p.W + p.columnStart(j0 + c);
            columns[c].finished = false;
        }
        for (bool active = true; active;) {
            active = false;
            // Columns that still wait for their first scan have no update
            // to apply; the others have one.
            Column* fresh[inFlight];
            Column* moved[inFlight];
            int freshCount = 0, movedCount = 0;
            for (Column& c : columns) {
                if (c.finished) continue;
                if (c.hessianColumn)
                    moved[movedCount++] = &c;
                else
                    fresh[freshCount++] = &c;
            }
            scanGroup<L, false>(p, fresh, freshCount);
            scanGroup<L, true>(p, moved, movedCount);
            for (Column& c : columns) {
                if (c.finished) continue;
                makeMove<L>(p, threshold, c);
                active = true;
            }
        }
    }
}

}  // namespace vector_greedy
}  // namespace

#pragma once

// The order in which the vector greedy paths work through their columns. An
// instruction set supplies only its scan of a column and its gradient update;
// the schedule is the same for all of them.

#include <cstddef>
#include <cstdint>

#include "../greedy_problem.h"

namespace greedy_schedule {

struct Move {
    std::int32_t row;  // −1: no entry can lower the objective
    double reduction;
};

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

// Makes the move the latest scan chose and leaves its gradient update to the
// next scan, unless the column stops here. The move is kept even when it is
// the one that stops the column. The chosen row's step is recomputed from
// the operands the scan used, which gives the scan's bits.
template <auto addMove>
inline void makeMove(const GreedyProblem& p, double threshold, Column& c) {
    const std::int32_t row = c.move.row;
    const double s = greedyStep(c.g[row], c.w[row], p.diag[row]);
    c.w[row] = s + c.w[row];
    const double* hessianColumn = p.HHt + p.columnStart(row);
    ++c.moves;
    if (threshold > c.move.reduction || c.moves >= p.maxinner) {
        addMove(p, c.g, hessianColumn, s);
        c.finished = true;
        return;
    }
    c.hessianColumn = hessianColumn;
    c.step = s;
}

// Columns are independent problems. A few are taken in turns: all of them
// scan, then all of them move, so that the scans' divisions and the moves'
// reductions of different columns run side by side.
//   scan(p, g, w, hessianColumn, s) applies g += s·hessianColumn (when
//     hessianColumn is not null) and returns the column's best move;
//   addMove(p, g, hessianColumn, s) applies only the update.
template <auto scan, auto addMove>
inline void runColumns(const GreedyProblem& p, double threshold) {
    constexpr std::ptrdiff_t kInFlight = 4;
    for (std::ptrdiff_t j0 = p.firstColumn; j0 < p.n; j0 += kInFlight) {
        Column columns[kInFlight];
        for (std::ptrdiff_t c = 0; c < kInFlight && j0 + c < p.n; ++c) {
            columns[c].g = p.GW + p.columnStart(j0 + c);
            columns[c].w = p.W + p.columnStart(j0 + c);
            columns[c].finished = false;
        }
        for (bool active = true; active;) {
            active = false;
            for (Column& c : columns) {
                if (c.finished) continue;
                c.move = scan(p, c.g, c.w, c.hessianColumn, c.step);
                c.finished = c.move.row < 0;
            }
            for (Column& c : columns) {
                if (c.finished) continue;
                makeMove<addMove>(p, threshold, c);
                active = true;
            }
        }
    }
}

}  // namespace greedy_schedule

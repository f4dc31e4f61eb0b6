#pragma once

// The forward sweep for short columns, over a vector layer L: lanes run
// across columns throughout.
//
// A group of columns of C is transposed into a buffer, one row of the group
// after another, and solved there in place: each row's C gives way to its x.
// Rows go in blocks of R = L::shortSweepRows. A block's running sums over
// the rows above it are built in registers, l in increasing order, then its
// rows are finished one after another, each taking the terms of the rows
// finished before it. The group's column blocks finish each row block in
// lockstep, so that their chains of divisions overlap. The buffer then goes
// back to X, transposed again. Every row's sum
// starts at +0.0 and adds M(j,l)·x_l for l = 0 … j−1 in increasing order,
// each product and sum rounded separately.

#include <cstddef>

#include "pieces.h"

namespace {
namespace vector_sweep_columns {

template <class L>
struct Group {
    static constexpr int blockColumns = L::shortSweepVectors * L::lanes;
    static constexpr int columns = L::shortSweepBlocks * blockColumns;
    static constexpr std::ptrdiff_t maxRows = L::shortSweepMaxRows;
    // The transposes move whole lanes-by-lanes blocks.
    static_assert(maxRows % L::lanes == 0);
};

// Columns short enough for the buffer, and at least one row block long.
template <class L>
bool handles(std::ptrdiff_t rows) {
    return rows >= L::shortSweepRows && rows <= Group<L>::maxRows;
}

// The running sums of rows j0 … j0+R−1 over l < j0 for one column block,
// which starts at t in row 0 of the buffer.
template <class L>
inline void runningSums(typename L::Vec* sums, const double* t, const double* M,
                        std::ptrdiff_t rows, std::ptrdiff_t j0) {
    using V = typename L::Vec;
    constexpr int R = L::shortSweepRows, vectors = L::shortSweepVectors, lanes = L::lanes;
    constexpr std::ptrdiff_t stride = Group<L>::columns;
    V tile[R * vectors];
    GREEDYSWEEP_UNROLL_TILE
    for (int i = 0; i < R * vectors; ++i) tile[i] = V(0.0);
    const double* coupling = M + j0;  // M(j0…, l)
    for (std::ptrdiff_t l = 0; l < j0; ++l, coupling += rows) {
        V x[vectors];
        GREEDYSWEEP_UNROLL_TILE
        for (int v = 0; v < vectors; ++v) x[v] = L::load(t + l * stride + v * lanes);
        GREEDYSWEEP_UNROLL_TILE
        for (int r = 0; r < R; ++r) {
            const V m(coupling[r]);
            GREEDYSWEEP_UNROLL_TILE
            for (int v = 0; v < vectors; ++v)
                tile[r * vectors + v] = tile[r * vectors + v] + m * x[v];
        }
    }
    GREEDYSWEEP_UNROLL_TILE
    for (int i = 0; i < R * vectors; ++i) sums[i] = tile[i];
}

// Finishes rows j0 … j0+R−1 of the group's first `blocks` column blocks, in
// lockstep so that their chains of divisions overlap. sums holds each
// block's running sums over l < j0. Rows j0 … j0+done−1 are final already:
// the last row block of a sweep overlaps the one before it, so that every
// block is whole.
template <class L, class Rule>
inline void finishRows(typename L::Vec* sums, double* t, const double* M, std::ptrdiff_t rows,
                       std::ptrdiff_t j0, std::ptrdiff_t done, int blocks, Rule rule) {
    using V = typename L::Vec;
    constexpr int R = L::shortSweepRows, lanes = L::lanes;
    constexpr int vectors = L::shortSweepVectors * L::shortSweepBlocks;
    constexpr std::ptrdiff_t stride = Group<L>::columns;
    const int used = blocks * L::shortSweepVectors;
    // sums[(block·R + r)·shortSweepVectors + v] for row j0+r of vector v of the block.
    const auto sum = [&](int r, int u) -> V& {
        return sums[((u / L::shortSweepVectors) * R + r) * L::shortSweepVectors +
                    u % L::shortSweepVectors];
    };
    GREEDYSWEEP_UNROLL_TILE
    for (int a = 0; a < R; ++a) {
        double* row = t + (j0 + a) * stride;
        const double* column = M + (j0 + a) * rows;
        V x[vectors];
        GREEDYSWEEP_UNROLL_TILE
        for (int u = 0; u < vectors; ++u) x[u] = V(0.0);  // blocks past `blocks` stay unused
        if (a < done) {
            GREEDYSWEEP_UNROLL_TILE
            for (int u = 0; u < vectors; ++u)
                if (u < used) x[u] = L::load(row + u * lanes);
        } else {
            const V d(column[j0 + a]);
            GREEDYSWEEP_UNROLL_TILE
            for (int u = 0; u < vectors; ++u)
                if (u < used) {
                    x[u] = rule(-((sum(a, u) + L::load(row + u * lanes)) / d), d);
                    L::store(row + u * lanes, x[u]);
                }
        }
        GREEDYSWEEP_UNROLL_TILE
        for (int below = a + 1; below < R; ++below) {
            const V m(column[j0 + below]);
            GREEDYSWEEP_UNROLL_TILE
            for (int u = 0; u < vectors; ++u)
                if (u < used) sum(below, u) = sum(below, u) + m * x[u];
        }
    }
}

// One lanes-by-lanes block between a column-major array (leading dimension
// rows) and the buffer, whose rows are Group::columns long: `height` rows
// and `width` columns of it are real. A whole block takes no tests.
template <class L, bool whole>
inline void blockIn(double* t, const double* C, std::ptrdiff_t rows, std::ptrdiff_t height,
                    std::ptrdiff_t width) {
    using V = typename L::Vec;
    constexpr int lanes = L::lanes, columns = Group<L>::columns;
    const auto part = L::firstLanes(height);
    V v[lanes];
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < lanes; ++b)
        v[b] = whole || b < width ? loadPiece<L, whole>(C + b * rows, part) : V(0.0);
    L::transpose(v);
    GREEDYSWEEP_UNROLL_TILE
    for (int a = 0; a < lanes; ++a)
        if (whole || a < height) L::store(t + a * columns, v[a]);
}

template <class L, bool whole>
inline void blockOut(double* X, const double* t, std::ptrdiff_t rows, std::ptrdiff_t height,
                     std::ptrdiff_t width) {
    using V = typename L::Vec;
    constexpr int lanes = L::lanes, columns = Group<L>::columns;
    const auto part = L::firstLanes(height);
    V v[lanes];
    GREEDYSWEEP_UNROLL_TILE
    for (int a = 0; a < lanes; ++a)
        v[a] = whole || a < height ? L::load(t + a * columns) : V(0.0);
    L::transpose(v);
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < lanes; ++b)
        if (whole || b < width) storePiece<L, whole>(X + b * rows, part, v[b]);
}

// Columns 0 … width−1 of C into the buffer t, or of the buffer into X;
// the buffer's columns past width hold +0.0.
template <class L>
inline void transposeIn(double* t, const double* C, std::ptrdiff_t rows, std::ptrdiff_t width) {
    constexpr int lanes = L::lanes, columns = Group<L>::columns;
    for (std::ptrdiff_t j = 0; j < rows; j += lanes)
        for (std::ptrdiff_t c0 = 0; c0 < columns; c0 += lanes) {
            double* to = t + j * columns + c0;
            const double* from = C + c0 * rows + j;
            if (j + lanes <= rows && c0 + lanes <= width)
                blockIn<L, true>(to, from, rows, lanes, lanes);
            else
                blockIn<L, false>(to, from, rows, rows - j, width - c0);
        }
}

template <class L>
inline void transposeOut(double* X, const double* t, std::ptrdiff_t rows, std::ptrdiff_t width) {
    constexpr int lanes = L::lanes, columns = Group<L>::columns;
    for (std::ptrdiff_t j = 0; j < rows; j += lanes)
        for (std::ptrdiff_t c0 = 0; c0 < width; c0 += lanes) {
            double* to = X + c0 * rows + j;
            const double* from = t + j * columns + c0;
            if (j + lanes <= rows && c0 + lanes <= width)
                blockOut<L, true>(to, from, rows, lanes, lanes);
            else
                blockOut<L, false>(to, from, rows, rows - j, width - c0);
        }
}

// Brings the next group's columns of C and X towards the core, a slice
// per row block, so that reading C and writing X overlap the arithmetic.
// The hardware prefetchers miss a group's many short columns, and the whole
// group asked for at once overflows the queue of misses (both measured).
template <class L>
struct Lookahead {
    const double *c, *x;
    std::ptrdiff_t doubles, slice, done = 0;
    void step() {
        constexpr std::ptrdiff_t line = 8;
        const std::ptrdiff_t end = done + slice < doubles ? done + slice : doubles;
        for (; done < end; done += line) {
            L::prefetch(c + done);
            L::prefetch(x + done);
        }
    }
};

template <class L, class Rule>
void sweep(double* X, const double* M, const double* C, Rule rule, std::ptrdiff_t rows,
           std::ptrdiff_t m) {
    using V = typename L::Vec;
    constexpr std::ptrdiff_t R = L::shortSweepRows, columns = Group<L>::columns;
    constexpr std::ptrdiff_t blockColumns = Group<L>::blockColumns;
    alignas(64) double t[Group<L>::maxRows * columns];
    V sums[L::shortSweepBlocks * R * L::shortSweepVectors];
    for (std::ptrdiff_t i0 = 0; i0 < m; i0 += columns) {
        const std::ptrdiff_t width = m - i0 < columns ? m - i0 : columns;
        transposeIn<L>(t, C + i0 * rows, rows, width);
        const int blocks = static_cast<int>((width + blockColumns - 1) / blockColumns);
        const std::ptrdiff_t next = i0 + width, rowBlocks = (rows + R - 1) / R;
        const std::ptrdiff_t nextDoubles = (m - next < columns ? m - next : columns) * rows;
        Lookahead<L> lookahead{C + next * rows, X + next * rows, nextDoubles,
                               (nextDoubles / rowBlocks + 8) / 8 * 8};
        for (std::ptrdiff_t j = 0; j < rows; j += R) {
            lookahead.step();
            const std::ptrdiff_t j0 = j + R <= rows ? j : rows - R;
            for (int block = 0; block < blocks; ++block)
                runningSums<L>(sums + block * R * L::shortSweepVectors, t + block * blockColumns,
                               M, rows, j0);
            finishRows<L>(sums, t, M, rows, j0, j - j0, blocks, rule);
        }
        transposeOut<L>(X + i0 * rows, t, rows, width);
    }
}

}  // namespace vector_sweep_columns
}  // namespace

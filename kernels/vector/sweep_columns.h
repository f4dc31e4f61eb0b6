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
#include <type_traits>

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

// Where the running sums of one row block live: vector v of column block b,
// row r of the block, is sums[sumIndex(b, r, v)].
template <class L>
constexpr int sumIndex(int block, int row, int vector) {
    return (block * L::shortSweepRows + row) * L::shortSweepVectors + vector;
}

// Columns short enough for the buffer, and at least one row block long.
template <class L>
bool handles(std::ptrdiff_t rows) {
    return rows >= L::shortSweepRows && rows <= Group<L>::maxRows;
}

// The running sums of rows j0 … j0+R−1 over l < j0 for column block b,
// which starts at `block` in row 0 of the buffer.
template <class L>
inline void runningSums(typename L::Vec* sums, int b, const double* block, const double* M,
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
        for (int v = 0; v < vectors; ++v) x[v] = L::load(block + l * stride + v * lanes);
        GREEDYSWEEP_UNROLL_TILE
        for (int r = 0; r < R; ++r) {
            const V m(coupling[r]);
            GREEDYSWEEP_UNROLL_TILE
            for (int v = 0; v < vectors; ++v)
                tile[r * vectors + v] = tile[r * vectors + v] + m * x[v];
        }
    }
    GREEDYSWEEP_UNROLL_TILE
    for (int r = 0; r < R; ++r)
        GREEDYSWEEP_UNROLL_TILE
        for (int v = 0; v < vectors; ++v) sums[sumIndex<L>(b, r, v)] = tile[r * vectors + v];
}

// Finishes rows j0 … j0+R−1 of the group's first `blocks` column blocks, in
// lockstep so that their chains of divisions overlap. sums holds each
// block's running sums over l < j0; u counts the vectors across the group's
// row, shortSweepVectors a block. Rows j0 … j0+done−1 are final already:
// the last row block of a sweep overlaps the one before it, so that every
// block is whole.
template <class L, class Rule>
inline void finishRows(typename L::Vec* sums, double* buffer, const double* M,
                       std::ptrdiff_t rows, std::ptrdiff_t j0, std::ptrdiff_t done, int blocks,
                       Rule rule) {
    using V = typename L::Vec;
    constexpr int R = L::shortSweepRows, lanes = L::lanes;
    constexpr int vectors = L::shortSweepVectors * L::shortSweepBlocks;
    constexpr std::ptrdiff_t stride = Group<L>::columns;
    const int used = blocks * L::shortSweepVectors;
    const auto sum = [sums](int r, int u) -> V& {
        return sums[sumIndex<L>(u / L::shortSweepVectors, r, u % L::shortSweepVectors)];
    };
    GREEDYSWEEP_UNROLL_TILE
    for (int a = 0; a < R; ++a) {
        double* row = buffer + (j0 + a) * stride;
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

// One lanes-by-lanes block between the buffer, whose rows are
// Group::columns long, and a column-major array (leading dimension rows):
// into the buffer from a const one (C), or out of the buffer into X.
// `height` rows and `width` columns of it are real; in the buffer, columns
// past width take +0.0. A whole block takes no tests.
template <class L, bool whole, class Matrix>
inline void transposeBlock(double* buffer, Matrix* matrix, std::ptrdiff_t rows,
                           std::ptrdiff_t height, std::ptrdiff_t width) {
    using V = typename L::Vec;
    constexpr int lanes = L::lanes, columns = Group<L>::columns;
    constexpr bool intoBuffer = std::is_const_v<Matrix>;
    const auto part = L::firstLanes(height);
    V v[lanes];
    GREEDYSWEEP_UNROLL_TILE
    for (int a = 0; a < lanes; ++a) {
        if constexpr (intoBuffer)
            v[a] = whole || a < width ? loadPiece<L, whole>(matrix + a * rows, part) : V(0.0);
        else
            v[a] = whole || a < height ? L::load(buffer + a * columns) : V(0.0);
    }
    L::transpose(v);
    GREEDYSWEEP_UNROLL_TILE
    for (int a = 0; a < lanes; ++a) {
        if constexpr (intoBuffer) {
            if (whole || a < height) L::store(buffer + a * columns, v[a]);
        } else {
            if (whole || a < width) storePiece<L, whole>(matrix + a * rows, part, v[a]);
        }
    }
}

// Columns 0 … width−1 of C into the buffer, all its columns (past width,
// +0.0); or the buffer's first width columns out into X.
template <class L, class Matrix>
inline void transposeGroup(double* buffer, Matrix* matrix, std::ptrdiff_t rows,
                           std::ptrdiff_t width) {
    constexpr int lanes = L::lanes, columns = Group<L>::columns;
    const std::ptrdiff_t span = std::is_const_v<Matrix> ? columns : width;
    for (std::ptrdiff_t j = 0; j < rows; j += lanes)
        for (std::ptrdiff_t c0 = 0; c0 < span; c0 += lanes) {
            double* inBuffer = buffer + j * columns + c0;
            Matrix* inMatrix = matrix + c0 * rows + j;
            if (j + lanes <= rows && c0 + lanes <= width)
                transposeBlock<L, true>(inBuffer, inMatrix, rows, lanes, lanes);
            else
                transposeBlock<L, false>(inBuffer, inMatrix, rows, rows - j, width - c0);
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
    alignas(64) double buffer[Group<L>::maxRows * columns];
    V sums[L::shortSweepBlocks * R * L::shortSweepVectors];
    for (std::ptrdiff_t i0 = 0; i0 < m; i0 += columns) {
        const std::ptrdiff_t width = m - i0 < columns ? m - i0 : columns;
        transposeGroup<L>(buffer, C + i0 * rows, rows, width);
        const int blocks = static_cast<int>((width + blockColumns - 1) / blockColumns);
        const std::ptrdiff_t next = i0 + width, rowBlocks = (rows + R - 1) / R;
        const std::ptrdiff_t nextDoubles = (m - next < columns ? m - next : columns) * rows;
        Lookahead<L> lookahead{C + next * rows, X + next * rows, nextDoubles,
                               (nextDoubles / rowBlocks + 8) / 8 * 8};
        for (std::ptrdiff_t j = 0; j < rows; j += R) {
            lookahead.step();
            const std::ptrdiff_t j0 = j + R <= rows ? j : rows - R;
            for (int block = 0; block < blocks; ++block)
                runningSums<L>(sums, block, buffer + block * blockColumns, M, rows, j0);
            finishRows<L>(sums, buffer, M, rows, j0, j - j0, blocks, rule);
        }
        transposeGroup<L>(buffer, X + i0 * rows, rows, width);
    }
}

}  // namespace vector_sweep_columns
}  // namespace

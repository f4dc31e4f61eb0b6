#pragma once

// The forward sweep for long columns, over a vector layer L: lanes run
// across rows while the running sums are built, and across columns while
// rows are finished.
//
// Rows go in tiles of R = L::sweepTileVectors · lanes. For a tile starting at
// row r0, the running sums over l < r0 are built in registers by a small
// kernel of R rows by L::sweepTileColumns columns, l in increasing order:
// each piece of M loaded serves every column, each x loaded every row. Long
// runs of l are cut into packed panels of M; between panels, and until the
// tile is finished, the partial sums wait in the tile's rows of X, which are
// not final yet.
//
// The tile is then finished lanes rows at a time, for L::sweepFinishColumns
// columns side by side: the sums pick up the terms of the tile's own rows
// already finished, are transposed so that lanes run across columns, and
// the rows are finished one after another, exactly as the scalar order
// does, divisions and rules included. The column blocks go through the rows
// in lockstep, so their chains of divisions overlap.
//
// Every row's sum starts at +0.0 and adds M(j,l)·x_l for l = 0 … j−1 in
// increasing order, each product and sum rounded separately.

#include <cstddef>
#include <cstdint>
#include <numeric>

#include "pieces.h"
#include "running_sums.h"

namespace {
namespace vector_sweep_rows {

// Finishes rows s0 … s0+height−1 of the group's columns. sums[b] holds, for
// column b, the running sums of those rows over l < s0. Each block of lanes
// columns is transposed so that lanes run across columns.
// A full block (fullHeight) takes no masks; only the last rows of a sweep
// have height < lanes.
template <class L, bool fullHeight, class Rule>
inline void finishRows(typename L::Vec* sums, const double* const* cColumns,
                       double* const* xColumns,
                       const double* M, std::ptrdiff_t rows, std::ptrdiff_t s0,
                       std::ptrdiff_t partHeight, typename L::Part part, Rule rule) {
    using V = typename L::Vec;
    const std::ptrdiff_t height = fullHeight ? L::lanes : partHeight;
    constexpr int lanes = L::lanes, groupColumns = L::sweepFinishColumns;
    V linear[groupColumns], result[groupColumns];
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < groupColumns; ++b)
        linear[b] = loadPiece<L, fullHeight>(cColumns[b] + s0, part);
    GREEDYSWEEP_UNROLL_TILE
    for (int block = 0; block < groupColumns; block += lanes) {
        L::transpose(sums + block);
        L::transpose(linear + block);
    }
    // Now sums[block + a] and linear[block + a] hold row s0+a of that block's columns.
    GREEDYSWEEP_UNROLL_TILE
    for (std::ptrdiff_t a = 0; a < height; ++a) {
        const double* column = M + (s0 + a) * rows;
        const V d(column[s0 + a]);
        GREEDYSWEEP_UNROLL_TILE
        for (int block = 0; block < groupColumns; block += lanes)
            result[block + a] = rule(-((sums[block + a] + linear[block + a]) / d), d);
        GREEDYSWEEP_UNROLL_TILE
        for (std::ptrdiff_t below = a + 1; below < height; ++below) {
            const V coupling(column[s0 + below]);
            GREEDYSWEEP_UNROLL_TILE
            for (int block = 0; block < groupColumns; block += lanes)
                sums[block + below] = sums[block + below] + coupling * result[block + a];
        }
    }
    GREEDYSWEEP_UNROLL_TILE
    for (int block = 0; block < groupColumns; block += lanes) {
        for (std::ptrdiff_t a = height; a < lanes; ++a) result[block + a] = V(0.0);
        L::transpose(result + block);
    }
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < groupColumns; ++b)
        storePiece<L, fullHeight>(xColumns[b] + s0, part, result[b]);
}

// How many columns of C go through one pass over M: a whole number of
// units, so that tiles and groups cut it exactly. Within such a chunk each
// packed panel of M serves every tile while it is still in the L1 cache, and
// the chunk's columns of X stay near the core between row tiles.
template <class L>
struct Chunk {
    static constexpr std::ptrdiff_t unit = std::lcm(L::sweepTileColumns, L::sweepFinishColumns);
    static constexpr std::ptrdiff_t maxUnits = 16;
    static std::ptrdiff_t columns(std::ptrdiff_t rows) {
        constexpr std::ptrdiff_t doubles = 256 * 1024;
        const std::ptrdiff_t units = doubles / (rows * unit);
        return (units < 1 ? 1 : units > maxUnits ? maxUnits : units) * unit;
    }
};

// Rows r0 … r0+height−1 of `count` columns, whose slots in cColumns and
// xColumns run on to the end of the last tile or group. A tile or group reads all its slots
// before it stores any, so the repeats of the last column past `count` give
// it the very same values; a tile made only of repeats would not.
template <class L, bool full, class Rule>
void rowTile(const double* const* cColumns, double* const* xColumns, std::ptrdiff_t count,
             const double* M, std::ptrdiff_t rows, std::ptrdiff_t r0, std::ptrdiff_t height,
             double* panel, Rule rule) {
    using V = typename L::Vec;
    constexpr int lanes = L::lanes, vectors = L::sweepTileVectors;
    constexpr int tileColumns = L::sweepTileColumns, groupColumns = L::sweepFinishColumns;
    constexpr std::ptrdiff_t tileRows = vectors * lanes, panelDepth = L::sweepPanelDepth;
    typename L::Part parts[vectors];
    for (int v = 0; v < vectors; ++v) parts[v] = L::firstLanes(height - v * lanes);
    const auto pack = [&](std::ptrdiff_t l0, std::ptrdiff_t l1) {
        for (std::ptrdiff_t l = l0; l < l1; ++l)
            for (int v = 0; v < vectors; ++v)
                L::store(panel + (l - l0) * tileRows + v * lanes,
                         loadPiece<L, full>(M + r0 + v * lanes + l * rows, parts[v]));
    };

    // l = 0 … r0−1 in runs of panelDepth.
    for (std::ptrdiff_t l0 = 0; l0 < r0; l0 += panelDepth) {
        const std::ptrdiff_t l1 = r0 - l0 < panelDepth ? r0 : l0 + panelDepth;
        pack(l0, l1);
        for (std::ptrdiff_t i0 = 0; i0 < count; i0 += tileColumns) {
            double* const* tile = xColumns + i0;
            V sums[tileColumns * vectors];
            for (int b = 0; b < tileColumns; ++b)
                for (int v = 0; v < vectors; ++v)
                    sums[b * vectors + v] =
                        l0 == 0 ? V(0.0)
                                : loadPiece<L, full>(tile[b] + r0 + v * lanes, parts[v]);
            addRunningSums<L, vectors, tileColumns>(sums, tile, panel, tileRows, l0, l1);
            for (int b = 0; b < tileColumns; ++b)
                for (int v = 0; v < vectors; ++v)
                    storePiece<L, full>(tile[b] + r0 + v * lanes, parts[v],
                                        sums[b * vectors + v]);
        }
    }

    // The tile's own rows of M, for the terms each row takes from the rows
    // of the tile's earlier vectors (those within a vector come from M).
    pack(r0, r0 + (height - 1) / lanes * lanes);
    for (std::ptrdiff_t i0 = 0; i0 < count; i0 += groupColumns) {
        for (int v = 0; v < vectors && v * lanes < height; ++v) {
            const std::ptrdiff_t s0 = r0 + v * lanes;
            V sums[groupColumns];
            for (int b = 0; b < groupColumns; ++b)
                sums[b] =
                    r0 == 0 ? V(0.0) : loadPiece<L, full>(xColumns[i0 + b] + s0, parts[v]);
            addRunningSums<L, 1, groupColumns>(sums, xColumns + i0, panel + v * lanes, tileRows,
                                               r0, s0);
            if (full || height - v * lanes >= lanes)
                finishRows<L, true>(sums, cColumns + i0, xColumns + i0, M, rows, s0, lanes,
                                    parts[v], rule);
            else
                finishRows<L, false>(sums, cColumns + i0, xColumns + i0, M, rows, s0,
                                     height - v * lanes,
                                     parts[v], rule);
        }
    }
}

template <class L, class Rule>
void sweep(double* X, const double* M, const double* C, Rule rule, std::ptrdiff_t rows,
           std::ptrdiff_t m) {
    constexpr std::ptrdiff_t tileRows = L::sweepTileVectors * L::lanes;
    const std::ptrdiff_t chunkSize = Chunk<L>::columns(rows);
    // The tile's rows of M for a run of l, packed contiguously: strided
    // columns of M (a power-of-two n especially) would fight over cache sets.
    alignas(64) double panel[L::sweepPanelDepth * tileRows];
    const double* cColumns[Chunk<L>::unit * Chunk<L>::maxUnits];
    double* xColumns[Chunk<L>::unit * Chunk<L>::maxUnits];
    for (std::ptrdiff_t chunk = 0; chunk < m; chunk += chunkSize) {
        const std::ptrdiff_t count = chunk + chunkSize < m ? chunkSize : m - chunk;
        // Past the last column, slots repeat it, which keeps one tile shape.
        const std::ptrdiff_t slots = (count + Chunk<L>::unit - 1) / Chunk<L>::unit * Chunk<L>::unit;
        for (std::ptrdiff_t b = 0; b < slots; ++b) {
            const std::ptrdiff_t column = chunk + (b < count ? b : count - 1);
            cColumns[b] = C + column * rows;
            xColumns[b] = X + column * rows;
        }
        for (std::ptrdiff_t r0 = 0; r0 < rows; r0 += tileRows) {
            if (rows - r0 >= tileRows)
                rowTile<L, true>(cColumns, xColumns, count, M, rows, r0, tileRows, panel, rule);
            else
                rowTile<L, false>(cColumns, xColumns, count, M, rows, r0, rows - r0, panel, rule);
        }
    }
}

}  // namespace vector_sweep_rows
}  // namespace

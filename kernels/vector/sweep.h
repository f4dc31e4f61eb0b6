#pragma once

// The blocked forward sweep over a vector layer L: tiles of L::lanes rows by
// L::sweepTileColumns columns of C.
//
// For a tile of rows r0 … r0+lanes−1 the running sums over l < r0 are built
// in registers, one vector of rows per column, l in increasing order: each
// piece of M loaded serves every column of the tile. Long runs of l are cut
// into packed panels of M; between panels the partial sums wait in the
// tile's rows of X, which are not final yet. The tile is then transposed so
// that lanes run across columns, and its rows are finished one after
// another, exactly as the scalar order does, divisions and rules included.
// Every row's sum starts at +0.0 and adds M(j,l)·x_l for l = 0 … j−1 in
// increasing order, each product and sum rounded separately.

#include <cstddef>
#include <cstdint>

namespace {
namespace vector_sweep {

// How many columns of C go through one pass over M. Within such a chunk each
// packed panel of M serves every tile while it is still in the L1 cache, and
// the chunk's columns of X (about two megabytes) stay near the core between
// row tiles.
inline std::ptrdiff_t chunkColumns(std::ptrdiff_t rows, std::ptrdiff_t tileColumns) {
    constexpr std::ptrdiff_t chunkDoubles = 256 * 1024;
    std::ptrdiff_t tiles = chunkDoubles / (rows * tileColumns);
    if (tiles < 1) tiles = 1;
    if (tiles > 16) tiles = 16;
    return tiles * tileColumns;
}

// Finishes rows r0 … r0+height−1 of the tile's columns. sums[b] holds, for
// column b, the running sums of those rows over l < r0. Each block of lanes
// columns is transposed so that lanes run across columns; the blocks go
// through the rows in lockstep, so their chains of divisions overlap.
template <class L, class Rule>
inline void finishDiagonalTile(typename L::Vec* sums, const double* const* c, double* const* x,
                               const double* M, std::ptrdiff_t rows, std::ptrdiff_t r0,
                               std::ptrdiff_t height, typename L::Part part, Rule rule) {
    using V = typename L::Vec;
    constexpr int lanes = L::lanes, tileColumns = L::sweepTileColumns;
    V linear[tileColumns], result[tileColumns];
    for (int b = 0; b < tileColumns; ++b) linear[b] = L::load(c[b] + r0, part);
    for (int block = 0; block < tileColumns; block += lanes) {
        L::transpose(sums + block);
        L::transpose(linear + block);
    }
    // Now sums[block + a] and linear[block + a] hold row r0+a of that block's columns.
    for (std::ptrdiff_t a = 0; a < height; ++a) {
        const double* column = M + (r0 + a) * rows;
        const V d(column[r0 + a]);
        for (int block = 0; block < tileColumns; block += lanes)
            result[block + a] = rule(-((sums[block + a] + linear[block + a]) / d), d);
        for (std::ptrdiff_t below = a + 1; below < height; ++below) {
            const V coupling(column[r0 + below]);
            for (int block = 0; block < tileColumns; block += lanes)
                sums[block + below] = sums[block + below] + coupling * result[block + a];
        }
    }
    for (int block = 0; block < tileColumns; block += lanes) {
        for (std::ptrdiff_t a = height; a < lanes; ++a) result[block + a] = V(0.0);
        L::transpose(result + block);
    }
    for (int b = 0; b < tileColumns; ++b) L::store(x[b] + r0, part, result[b]);
}

// Adds Σ_{l0≤l<l1} M(r0…, l)·x_b(l) onto sums[b], l in increasing order.
// panel holds those rows of M for l0 … l1−1, one vector per l. The tile is
// a local array that never escapes, so it stays in registers.
template <class L>
inline void addRunningSums(typename L::Vec* sums, double* const* x, const double* panel,
                           std::ptrdiff_t l0, std::ptrdiff_t l1) {
    using V = typename L::Vec;
    constexpr int tileColumns = L::sweepTileColumns;
    V tile[tileColumns];
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < tileColumns; ++b) tile[b] = sums[b];
    for (std::ptrdiff_t l = l0; l < l1; ++l) {
        const V coupling = L::load(panel + (l - l0) * L::lanes);
        GREEDYSWEEP_UNROLL_TILE
        for (int b = 0; b < tileColumns; ++b) tile[b] = tile[b] + coupling * V(x[b][l]);
    }
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < tileColumns; ++b) sums[b] = tile[b];
}

template <class L, class Rule>
void sweep(double* X, const double* M, const double* C, double lambda, std::int32_t n,
           std::int32_t m) {
    using V = typename L::Vec;
    constexpr int lanes = L::lanes, tileColumns = L::sweepTileColumns;
    constexpr std::ptrdiff_t panelDepth = L::sweepPanelDepth;
    const Rule rule(lambda);
    const std::ptrdiff_t rows = n;
    const std::ptrdiff_t chunkSize = chunkColumns(rows, tileColumns);
    // The tile's rows of M for a run of l, packed contiguously: strided
    // columns of M (a power-of-two n especially) would fight over cache sets.
    alignas(64) double panel[panelDepth * lanes];
    for (std::ptrdiff_t chunk = 0; chunk < m; chunk += chunkSize) {
        const std::ptrdiff_t chunkEnd = chunk + chunkSize < m ? chunk + chunkSize : m;
        for (std::ptrdiff_t r0 = 0; r0 < rows; r0 += lanes) {
            const std::ptrdiff_t height = rows - r0 < lanes ? rows - r0 : lanes;
            const auto part = L::firstLanes(height);
            // l = 0 … r0−1 in runs of panelDepth; between runs, the partial
            // sums wait in rows r0 … of X, which are not final yet.
            std::ptrdiff_t l0 = 0;
            do {
                const std::ptrdiff_t l1 = r0 - l0 < panelDepth ? r0 : l0 + panelDepth;
                for (std::ptrdiff_t l = l0; l < l1; ++l)
                    L::store(panel + (l - l0) * lanes, L::load(M + r0 + l * rows, part));
                for (std::ptrdiff_t i0 = chunk; i0 < chunkEnd; i0 += tileColumns) {
                    // Past the chunk's last column, slots repeat it: they compute
                    // and store the very same values, which keeps one tile shape.
                    const double* c[tileColumns];
                    double* x[tileColumns];
                    for (std::ptrdiff_t b = 0; b < tileColumns; ++b) {
                        const std::ptrdiff_t column = i0 + b < chunkEnd ? i0 + b : chunkEnd - 1;
                        c[b] = C + column * rows;
                        x[b] = X + column * rows;
                    }
                    V sums[tileColumns];
                    for (int b = 0; b < tileColumns; ++b)
                        sums[b] = l0 == 0 ? V(0.0) : L::load(x[b] + r0, part);
                    addRunningSums<L>(sums, x, panel, l0, l1);
                    if (l1 == r0) {
                        finishDiagonalTile<L>(sums, c, x, M, rows, r0, height, part, rule);
                    } else {
                        for (int b = 0; b < tileColumns; ++b) L::store(x[b] + r0, part, sums[b]);
                    }
                }
                l0 = l1;
            } while (l0 < r0);
        }
    }
}

}  // namespace vector_sweep
}  // namespace

#pragma once

// The products over a vector layer L, in the order of product_problem.h:
// lanes run across P's rows, so each P(r,c) stays one running sum.
//
// Dense: the shared index s is cut into panels. X's rows for a panel are
// packed once, zero past row k, in tiles of L::productTileVectors vectors;
// each tile meets L::productTileColumns columns of B at a time in registers
// (running_sums.h). Between panels the partial sums wait in P. B's columns
// are read where they lie; a transposed B (A's rows) is first packed into
// columns, a block of L::productPackColumns at a time, so that the tile reads
// it contiguously and A's cache lines are read once.
//
// Sparse: each column of S is one pass of up to L::sparseBandVectors vectors
// of rows in registers (k beyond that takes several passes). Transposed,
// column s of X is scattered into the columns of P that S's column s names.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "../product_problem.h"
#include "pieces.h"
#include "running_sums.h"

namespace {
namespace vector_product {

// One tile of P: rows r0 … r0 + vectors·lanes − 1 (the last vector cut to
// `last`), columns `columns` (a slot past the end repeats the last column and
// stores the same values), over one panel of `depth`.
template <class L, int vectors>
void denseTile(double* const* pColumns, std::ptrdiff_t r0, const double* const* bColumns,
               const double* panel, std::ptrdiff_t depth, bool first, typename L::Part last) {
    using V = typename L::Vec;
    constexpr int columns = L::productTileColumns, lanes = L::lanes;
    V sums[columns * vectors];
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < columns; ++b)
        GREEDYSWEEP_UNROLL_TILE
        for (int v = 0; v < vectors; ++v) {
            const double* p = pColumns[b] + r0 + v * lanes;
            sums[b * vectors + v] = first ? V(0.0) : v < vectors - 1 ? L::load(p) : L::load(p, last);
        }
    addRunningSums<L, vectors, columns>(sums, bColumns, panel, vectors * lanes, 0, depth);
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < columns; ++b)
        GREEDYSWEEP_UNROLL_TILE
        for (int v = 0; v < vectors; ++v) {
            double* p = pColumns[b] + r0 + v * lanes;
            if (v < vectors - 1) L::store(p, sums[b * vectors + v]);
            else L::store(p, last, sums[b * vectors + v]);
        }
}

// A tile of `count` vectors, fewer than a whole tile's.
template <class L, int vectors = L::productTileVectors - 1>
void denseTail(double* const* pColumns, std::ptrdiff_t r0, const double* const* bColumns,
               const double* panel, std::ptrdiff_t depth, bool first, typename L::Part last,
               std::ptrdiff_t count) {
    if constexpr (vectors >= 1) {
        if (count == vectors)
            denseTile<L, vectors>(pColumns, r0, bColumns, panel, depth, first, last);
        else
            denseTail<L, vectors - 1>(pColumns, r0, bColumns, panel, depth, first, last, count);
    }
}

// X's columns s0 … s0+depth−1, row tile by row tile: the tile from row r0
// holds `rows` rows per s, zero past row k.
inline void packRows(double* panel, const DenseProduct& p, std::ptrdiff_t s0, std::ptrdiff_t depth,
                     std::ptrdiff_t paddedRows, std::ptrdiff_t tileRows) {
    for (std::ptrdiff_t r0 = 0; r0 < paddedRows; r0 += tileRows) {
        const std::ptrdiff_t rows = paddedRows - r0 < tileRows ? paddedRows - r0 : tileRows;
        double* tile = panel + r0 * depth;
        for (std::ptrdiff_t s = 0; s < depth; ++s) {
            const double* x = p.X + (s0 + s) * p.k;
            for (std::ptrdiff_t r = 0; r < rows; ++r)
                tile[s * rows + r] = r0 + r < p.k ? x[r0 + r] : 0.0;
        }
    }
}

// B's columns c0 … c0+width−1 over s0 … s0+depth−1 from A's rows, each
// `depth` long.
inline void packTransposed(double* packed, const DenseProduct& p, std::ptrdiff_t c0,
                           std::ptrdiff_t width, std::ptrdiff_t s0, std::ptrdiff_t depth) {
    // Eight of A's columns at a time, so that each packed column is written
    // a cache line at a time while A is read down its columns.
    constexpr std::ptrdiff_t step = 8;
    std::ptrdiff_t s = 0;
    for (; s + step <= depth; s += step) {
        const double* a = p.transposedEntry(s0 + s, c0);
        for (std::ptrdiff_t b = 0; b < width; ++b)
            for (std::ptrdiff_t t = 0; t < step; ++t) packed[b * depth + s + t] = a[b + t * p.lda];
    }
    for (; s < depth; ++s) {
        const double* a = p.transposedEntry(s0 + s, c0);
        for (std::ptrdiff_t b = 0; b < width; ++b) packed[b * depth + s] = a[b];
    }
}

// A's rows c0 … c0+width−1 over s0 … s0+depth−1, the next block to be
// packed, brought towards the core a few cache lines at a time while the
// block before it is multiplied: packing then finds them near, and reading A
// overlaps the arithmetic.
struct NextBlock {
    const double* start = nullptr;
    std::ptrdiff_t stride = 0, width = 0, depth = 0, s = 0, b = 0;

    NextBlock() = default;
    NextBlock(const DenseProduct& p, std::ptrdiff_t c0, std::ptrdiff_t width, std::ptrdiff_t s0,
              std::ptrdiff_t depth)
        : start(p.transposedEntry(s0, c0)), stride(p.lda), width(width), depth(depth) {}

    std::ptrdiff_t lines() const { return depth * ((width + 7) / 8); }

    template <class L>
    void fetch(std::ptrdiff_t lines) {
        for (; lines > 0 && s < depth; --lines) {
            L::prefetchToL2(start + s * stride + b);
            b += 8;
            if (b >= width) {
                b = 0;
                ++s;
            }
        }
    }
};

// The block packed after B's columns g0… of the panel from s0: the next
// group of the same panel, else the first group of the next panel, else none.
inline NextBlock blockAfter(const DenseProduct& p, std::ptrdiff_t g0, std::ptrdiff_t s0,
                            std::ptrdiff_t depth, std::ptrdiff_t panelDepth, std::ptrdiff_t group) {
    const auto smaller = [](std::ptrdiff_t a, std::ptrdiff_t b) { return a < b ? a : b; };
    if (g0 + group < p.width()) return NextBlock(p, g0 + group, smaller(group, p.width() - g0 - group), s0, depth);
    if (s0 + depth < p.depth())
        return NextBlock(p, 0, smaller(group, p.width()), s0 + depth, smaller(panelDepth, p.depth() - s0 - depth));
    return NextBlock();
}

template <class L>
bool dense(const DenseProduct& p) {
    constexpr std::ptrdiff_t lanes = L::lanes, columns = L::productTileColumns;
    constexpr std::ptrdiff_t tileRows = L::productTileVectors * lanes;
    constexpr std::ptrdiff_t group = L::productPackColumns;
    static_assert(group % columns == 0, "a packed block holds whole tiles");
    const std::ptrdiff_t paddedRows = (p.k + lanes - 1) / lanes * lanes;
    // A transposed B's packed block (as many columns as B has, up to a
    // group) is as large as X's panel.
    const std::ptrdiff_t packedWidth = p.transposed ? (p.width() < group ? p.width() : group) : 0;
    std::ptrdiff_t panelDepth =
        L::productPanelDoubles / (packedWidth > paddedRows ? packedWidth : paddedRows);
    if (panelDepth < 1) panelDepth = 1;
    if (panelDepth > p.depth()) panelDepth = p.depth();
    const std::ptrdiff_t packed = packedWidth * panelDepth;
    std::unique_ptr<double[]> scratch(new (std::nothrow) double[paddedRows * panelDepth + packed]);
    if (!scratch) return false;
    double* const panel = scratch.get();
    double* const packedColumns = panel + paddedRows * panelDepth;

    const typename L::Part last = L::firstLanes(p.k - (paddedRows - lanes));
    for (std::ptrdiff_t s0 = 0; s0 < p.depth(); s0 += panelDepth) {
        const std::ptrdiff_t depth = p.depth() - s0 < panelDepth ? p.depth() - s0 : panelDepth;
        packRows(panel, p, s0, depth, paddedRows, tileRows);
        for (std::ptrdiff_t g0 = 0; g0 < p.width(); g0 += group) {
            const std::ptrdiff_t width = p.width() - g0 < group ? p.width() - g0 : group;
            NextBlock next;
            if (p.transposed) {
                packTransposed(packedColumns, p, g0, width, s0, depth);
                next = blockAfter(p, g0, s0, depth, panelDepth, group);
            }
            const std::ptrdiff_t tiles =
                (width + columns - 1) / columns * ((paddedRows + tileRows - 1) / tileRows);
            const std::ptrdiff_t linesPerTile = (next.lines() + tiles - 1) / tiles;
            for (std::ptrdiff_t c0 = 0; c0 < width; c0 += columns) {
                double* pColumns[columns];
                const double* bColumns[columns];
                for (std::ptrdiff_t b = 0; b < columns; ++b) {
                    const std::ptrdiff_t c = c0 + b < width ? c0 + b : width - 1;
                    pColumns[b] = p.P + (g0 + c) * p.k;
                    bColumns[b] = p.transposed ? packedColumns + c * depth
                                               : p.bColumn(g0 + c) + s0;
                }
                for (std::ptrdiff_t r0 = 0; r0 < paddedRows; r0 += tileRows) {
                    next.fetch<L>(linesPerTile);
                    const double* tile = panel + r0 * depth;
                    const bool whole = paddedRows - r0 >= tileRows;
                    const typename L::Part end =
                        r0 + tileRows >= paddedRows ? last : L::firstLanes(lanes);
                    if (whole)
                        denseTile<L, L::productTileVectors>(pColumns, r0, bColumns, tile, depth,
                                                            s0 == 0, end);
                    else
                        denseTail<L>(pColumns, r0, bColumns, tile, depth, s0 == 0, end,
                                     (paddedRows - r0) / lanes);
                }
            }
        }
    }
    return true;
}

// Rows r0 … r0 + vectors·lanes − 1 of P = X·S, the last vector cut to `last`
// unless lastWhole: one running sum per row over each column's entries.
template <class L, int vectors, bool lastWhole, typename Index>
void sparseBand(const SparseProduct<Index>& p, std::ptrdiff_t r0, typename L::Part last) {
    using V = typename L::Vec;
    constexpr int lanes = L::lanes;
    // X's columns are met in no order and are rarely in the L1 cache: each
    // is asked for `ahead` entries before it is needed, every cache line of
    // the band (the last entries ask again for the last column, harmlessly).
    constexpr std::ptrdiff_t ahead = 16, line = 8;
    const std::ptrdiff_t finalEntry = p.end(p.width() - 1) - 1;
    for (std::ptrdiff_t j = 0; j < p.width(); ++j) {
        V sums[vectors];
        GREEDYSWEEP_UNROLL_TILE
        for (int v = 0; v < vectors; ++v) sums[v] = V(0.0);
        for (std::ptrdiff_t t = p.begin(j); t < p.end(j); ++t) {
            const double* later = p.X + p.row(t + ahead < finalEntry ? t + ahead : finalEntry) * p.k + r0;
            GREEDYSWEEP_UNROLL_TILE
            for (std::ptrdiff_t d = 0; d < vectors * lanes; d += line) L::prefetch(later + d);
            const double* x = p.X + p.row(t) * p.k + r0;
            const V a(p.values[t]);
            GREEDYSWEEP_UNROLL_TILE
            for (int v = 0; v < vectors - 1; ++v)
                sums[v] = sums[v] + L::load(x + v * lanes) * a;
            sums[vectors - 1] =
                sums[vectors - 1] + loadPiece<L, lastWhole>(x + (vectors - 1) * lanes, last) * a;
        }
        double* out = p.P + j * p.k + r0;
        GREEDYSWEEP_UNROLL_TILE
        for (int v = 0; v < vectors - 1; ++v) L::store(out + v * lanes, sums[v]);
        storePiece<L, lastWhole>(out + (vectors - 1) * lanes, last, sums[vectors - 1]);
    }
}

// The same rows of P = X·Sᵀ, which start at +0.0: column s of X goes, times
// each entry of S's column s, into the column of P its row names. Columns s
// come in increasing order, so each sum runs along a row of S.
template <class L, int vectors, bool lastWhole, typename Index>
void sparseTransposedBand(const SparseProduct<Index>& p, std::ptrdiff_t r0,
                          typename L::Part last) {
    using V = typename L::Vec;
    constexpr int lanes = L::lanes;
    for (std::ptrdiff_t s = 0; s < p.depth(); ++s) {
        const double* x = p.X + s * p.k + r0;
        V column[vectors];
        GREEDYSWEEP_UNROLL_TILE
        for (int v = 0; v < vectors - 1; ++v) column[v] = L::load(x + v * lanes);
        column[vectors - 1] = loadPiece<L, lastWhole>(x + (vectors - 1) * lanes, last);
        for (std::ptrdiff_t t = p.begin(s); t < p.end(s); ++t) {
            double* out = p.P + p.row(t) * p.k + r0;
            const V a(p.values[t]);
            GREEDYSWEEP_UNROLL_TILE
            for (int v = 0; v < vectors - 1; ++v)
                L::store(out + v * lanes, L::load(out + v * lanes) + column[v] * a);
            double* end = out + (vectors - 1) * lanes;
            storePiece<L, lastWhole>(end, last,
                                     loadPiece<L, lastWhole>(end, last) + column[vectors - 1] * a);
        }
    }
}

// One band of `count` vectors (at most sparseBandVectors) from row r0.
template <class L, typename Index, int vectors = L::sparseBandVectors>
void sparseBandOf(const SparseProduct<Index>& p, std::ptrdiff_t r0, std::ptrdiff_t count,
                  typename L::Part last, bool lastWhole) {
    if constexpr (vectors >= 1) {
        if (count != vectors)
            return sparseBandOf<L, Index, vectors - 1>(p, r0, count, last, lastWhole);
        if (p.transposed) {
            if (lastWhole) sparseTransposedBand<L, vectors, true>(p, r0, last);
            else sparseTransposedBand<L, vectors, false>(p, r0, last);
        } else {
            if (lastWhole) sparseBand<L, vectors, true>(p, r0, last);
            else sparseBand<L, vectors, false>(p, r0, last);
        }
    }
}

// P's rows in the fewest bands of at most sparseBandVectors vectors, of
// near-equal widths. The transposed product needs P zeroed first.
template <class L, typename Index>
void sparse(const SparseProduct<Index>& p) {
    constexpr std::ptrdiff_t lanes = L::lanes, widest = L::sparseBandVectors;
    const std::ptrdiff_t vectors = (p.k + lanes - 1) / lanes;
    const std::ptrdiff_t bands = (vectors + widest - 1) / widest;
    const typename L::Part last = L::firstLanes(p.k - (vectors - 1) * lanes);
    const bool lastWhole = p.k % lanes == 0;
    std::ptrdiff_t v0 = 0;
    for (std::ptrdiff_t band = 0; band < bands; ++band) {
        const std::ptrdiff_t count = (vectors - v0) / (bands - band);
        const bool final = v0 + count == vectors;
        sparseBandOf<L, Index>(p, v0 * lanes, count, final ? last : L::firstLanes(lanes),
                               !final || lastWhole);
        v0 += count;
    }
}

}  // namespace vector_product
}  // namespace

#pragma once

// The register tile that the long sweep and the products share: running sums
// of lanes-wide pieces of a packed panel times broadcast entries of a few
// columns, l in increasing order.

#include <cstddef>

namespace {

// Adds Σ_{l0≤l<l1} panel(rows, l)·x_b(l) onto sums[b·vectors + v], l in
// increasing order. panel holds the rows' pieces (of M in the sweep, of the
// left factor in a product), vectors vectors per l, one l every `stride`
// doubles. The tile is a local array that never
// escapes, so it stays in registers.
template <class L, int vectors, int columns>
inline void addRunningSums(typename L::Vec* sums, const double* const* xColumns, const double* panel,
                           std::ptrdiff_t stride, std::ptrdiff_t l0, std::ptrdiff_t l1) {
    using V = typename L::Vec;
    V tile[columns * vectors];
    GREEDYSWEEP_UNROLL_TILE
    for (int i = 0; i < columns * vectors; ++i) tile[i] = sums[i];
    for (std::ptrdiff_t l = l0; l < l1; ++l) {
        const double* piece = panel + (l - l0) * stride;
        V coupling[vectors];
        GREEDYSWEEP_UNROLL_TILE
        for (int v = 0; v < vectors; ++v) coupling[v] = L::load(piece + v * L::lanes);
        GREEDYSWEEP_UNROLL_TILE
        for (int b = 0; b < columns; ++b) {
            const V xl(xColumns[b][l]);
            GREEDYSWEEP_UNROLL_TILE
            for (int v = 0; v < vectors; ++v)
                tile[b * vectors + v] = tile[b * vectors + v] + coupling[v] * xl;
        }
    }
    GREEDYSWEEP_UNROLL_TILE
    for (int i = 0; i < columns * vectors; ++i) sums[i] = tile[i];
}

}  // namespace

#pragma once

#include <atomic>
#include <cstddef>

#include "../kernel_table.h"
#include "../product_problem.h"
#include "workers.h"

// The products with P's columns shared out over a team: each part is the
// product of its own columns, every sum whole.

// False when a part's scratch panel cannot be had. Each chunk packs X
// again, so there are two per part: enough to even out cores that run at
// different speeds (docs/performance.md).
inline bool splitDense(const Workers& workers, const DenseProduct& p) {
    const std::ptrdiff_t width = p.width();
    const int parts = workers.partsFor(width, static_cast<double>(p.k) * p.depth() * width);
    const int chunks = chunksFor(parts, width, 2);
    const KernelTable& kernels = productTableFor(workers.product, p.k);
    std::atomic<bool> done{true};
    claimChunks(
        workers, parts, chunks, [&](int c) { return columnsOfPart(width, chunks, c); },
        [&](ColumnRange r, int) {
            if (!denseProductWith(kernels, p.columns(r.begin, r.end))) done = false;
        });
    return done;
}

// Not for a transposed product. The parts claim runs of S's columns
// holding near-equal numbers of entries, whose gathers still miss the
// cache unevenly.
template <typename Index>
void splitSparse(const Workers& workers, const SparseProduct<Index>& p) {
    const std::ptrdiff_t width = p.width();
    const int parts = workers.partsFor(width, static_cast<double>(p.k) * p.begin(width));
    const int chunks = chunksFor(parts, width);
    const KernelTable& kernels = productTableFor(workers.product, p.k);
    claimChunks(
        workers, parts, chunks, [&](int c) { return entriesOfPart(p.columnStart, width, chunks, c); },
        [&](ColumnRange r, int) { sparseProductWith(kernels, p.columns(r.begin, r.end)); });
}

// P (k×k) = X·Xᵀ for X k×columns.
inline bool splitGram(const Workers& workers, double* P, const double* X, std::ptrdiff_t k,
                      std::ptrdiff_t columns) {
    return splitDense(workers, {P, X, X, k, k, columns, k, true});
}

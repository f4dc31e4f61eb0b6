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
    const int parts = workers.partsFor(p.n, static_cast<double>(p.k) * p.depth * p.n);
    const int chunks = chunksFor(parts, p.n, 2);
    std::atomic<bool> done{true};
    claimChunks(
        workers, parts, chunks, [&](int c) { return columnsOfPart(p.n, chunks, c); },
        [&](ColumnRange r, int) {
            if (!denseProductWith(workers.product, p.columns(r.begin, r.end))) done = false;
        });
    return done;
}

// Not for a transposed product. The parts claim runs of S's columns
// holding near-equal numbers of entries, whose gathers still miss the
// cache unevenly.
template <typename Index>
void splitSparse(const Workers& workers, const SparseProduct<Index>& p) {
    const int parts = workers.partsFor(p.n, static_cast<double>(p.k) * p.begin(p.n));
    const int chunks = chunksFor(parts, p.n);
    claimChunks(
        workers, parts, chunks, [&](int c) { return entriesOfPart(p.columnStart, p.n, chunks, c); },
        [&](ColumnRange r, int) { sparseProductWith(workers.product, p.columns(r.begin, r.end)); });
}

// P (k×k) = X·Xᵀ for X k×columns.
inline bool splitGram(const Workers& workers, double* P, const double* X, std::ptrdiff_t k,
                      std::ptrdiff_t columns) {
    return splitDense(workers, {P, X, X, k, columns, k, k, true});
}

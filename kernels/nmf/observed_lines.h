#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "greedy_nmf.h"

// f(i, w, a) for each observed entry of column j of a weighted A, rows
// increasing: its row, weight and value (0 where a sparse A stores none).
template <typename Index, class F>
void forEachObserved(const NmfMatrix<Index>& A, std::ptrdiff_t j, const F& f) {
    const NmfWeights<Index>& weights = *A.weights;
    std::ptrdiff_t t = 0, end = 0;  // A's stored entries of column j, when sparse
    if (A.columnStart) t = A.columnStart[j], end = A.columnStart[j + 1];
    const auto valueAt = [&](std::ptrdiff_t i) {
        if (!A.columnStart) return A.values[i + j * A.m];
        while (t < end && A.rowIndex[t] < i) ++t;
        return t < end && A.rowIndex[t] == i ? A.values[t] : 0.0;
    };
    if (weights.columnStart) {
        for (std::ptrdiff_t s = weights.columnStart[j]; s < weights.columnStart[j + 1]; ++s)
            if (weights.values[s] > 0.0) {
                const std::ptrdiff_t i = weights.rowIndex[s];
                f(i, weights.values[s], valueAt(i));
            }
        return;
    }
    const double* w = weights.values + j * A.m;
    for (std::ptrdiff_t i = 0; i < A.m; ++i)
        if (w[i] > 0.0) f(i, w[i], valueAt(i));
}

// What each line of one orientation (A's columns, or its rows) forms its
// Hessian from: the shorter of two lists. Either the line's observed
// entries with their weights, or, when every observed weight is 1 and
// fewer entries are missing than observed, its missing entries, whose
// part is then taken from the full Gram matrix. Lists run in increasing
// order.
struct ObservedLines {
    std::ptrdiff_t lines = 0, length = 0;          // lines, and entries in each
    std::unique_ptr<std::ptrdiff_t[]> start;       // lines + 1
    std::unique_ptr<std::int32_t[]> index;         // the entries listed; A has under 2^31 of each
    std::unique_ptr<double[]> weight;              // theirs (1 for a missing entry)
    std::unique_ptr<std::ptrdiff_t[]> observed;    // entries observed, per line
    std::unique_ptr<bool[]> listsMissing;          // per line
    std::ptrdiff_t longest = 0;                    // entries in the longest list

    std::ptrdiff_t listed(std::ptrdiff_t line) const { return start[line + 1] - start[line]; }
};

// Both orientations' lists; false when memory runs out.
template <typename Index>
bool observedLines(const NmfMatrix<Index>& A, ObservedLines& byColumn, ObservedLines& byRow);

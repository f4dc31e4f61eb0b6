#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "greedy_nmf.h"

// The positive entries of A, line by line: of each column (with their
// rows) or of each row (with their columns), in increasing order. Only
// they enter the divergence beyond the model's sum, so a full A is read
// through them too.
struct PositiveEntries {
    std::ptrdiff_t lines = 0;                 // columns or rows
    std::unique_ptr<std::ptrdiff_t[]> start;  // lines + 1
    std::unique_ptr<std::int32_t[]> index;    // the other coordinate; A has under 2^31 of each
    std::unique_ptr<double[]> value;
    std::ptrdiff_t longest = 0;               // entries in the longest line

    std::ptrdiff_t entries() const { return start[lines]; }
    double sum() const;                       // Σ a in storage order
};

// Both forms of A's positive entries; false when memory runs out.
template <typename Index>
bool positiveEntries(const NmfMatrix<Index>& A, PositiveEntries& byColumn, PositiveEntries& byRow);

#pragma once

#include <cstddef>
#include <memory>

#include "positive_entries.h"
#include "workers.h"

// One half of a Kullback-Leibler iteration: every column x of a factor X
// (k×lines), one per line of A's positive entries, solved against the
// other factor Y (k×others, one column per index those lines name) as a
// column problem (kl_column.h). Each part of the team packs Y's columns
// at its lines' entries into scratch of its own, so that every pass reads
// them in order, and solves its lines a group at a time.
class KlHalfStep {
public:
    KlHalfStep(std::ptrdiff_t k, int parts) : k_(k), parts_(parts) {}
    // Scratch for up to `lines` lines of up to `longest` entries each, lines
    // side by side when their packed columns fit in `groupBytes`; false
    // when memory runs out.
    bool prepare(std::ptrdiff_t longest, std::ptrdiff_t lines, double groupBytes);

    // `passes` passes over each column of X (none: X as it is), then each
    // line's divergence part at the new X into divergence[line] when given.
    void run(const Workers& workers, const PositiveEntries& lines, const double* Y,
             std::ptrdiff_t others, double* X, double l1, double l2, int passes,
             double* divergence);

    // Y's rows summed over its columns, as the last run formed them.
    const double* otherSum() const { return otherSum_.get(); }

private:
    void pack(double* basis, const double* Y, const std::int32_t* index, std::ptrdiff_t count) const;

    std::ptrdiff_t k_;
    int parts_;
    std::ptrdiff_t longest_ = 0;
    int group_ = 1;  // lines solved side by side, up to klGroup
    std::unique_ptr<double[]> otherSum_, basis_, model_;
    std::unique_ptr<std::ptrdiff_t[]> order_;  // each chunk's lines, shortest first
};

// Σ_r ySum_r·Σ_c X_rc: the sum of the model's entries over all of A.
double modelSum(const double* ySum, const double* X, std::ptrdiff_t k, std::ptrdiff_t columns);

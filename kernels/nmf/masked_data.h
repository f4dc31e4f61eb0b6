#pragma once

#include <cstddef>
#include <memory>
#include <new>

#include "greedy_nmf.h"
#include "observed_lines.h"
#include "workers.h"

// A weighted A as the masked fit needs it: Ã, w·a at the observed entries
// and 0 elsewhere, in A's own form (a sparse Ã keeps the observed entries
// whose a is not 0), for the products W'·Ã and H·Ãᵀ; the lists each line
// forms its Hessian from; and the sums over the observed entries.
template <typename Index>
class MaskedData {
public:
    explicit MaskedData(const NmfMatrix<Index>& A) : A_(A) {}

    // False when memory runs out.
    bool prepare();

    const NmfMatrix<Index>& weighted() const { return weighted_; }
    const ObservedLines& columns() const { return columns_; }
    const ObservedLines& rows() const { return rows_; }

    // Σ (w·a)·a over the observed entries, column by column.
    double squaredNorm() const;
    // ½·Σ (w·a)·a over each column's observed entries, into zero (n).
    void halfSquaredNorms(double* zero) const;
    // ½·Σ_j Σ_i (w·r)·r over column j's observed entries, r = a − Σ_r W'(r,i)·H(r,j)
    // in r's order: each column's sum on its own, then their sum in order.
    double residual(const Workers& workers, const double* Wt, const double* H,
                    std::ptrdiff_t k) const;

private:
    NmfMatrix<Index> A_, weighted_{};
    ObservedLines columns_, rows_;
    std::unique_ptr<double[]> values_, columnSums_;
    std::unique_ptr<Index[]> start_, row_;
};

// A's MaskedData, prepared, in `mask` when A is weighted (none when not);
// false when memory runs out.
template <typename Index>
bool maskedDataOf(const NmfMatrix<Index>& A, std::unique_ptr<MaskedData<Index>>& mask) {
    if (!A.weights) return true;
    mask.reset(new (std::nothrow) MaskedData<Index>(A));
    return mask && mask->prepare();
}

// Σ a over the observed entries (every entry when unweighted) over their
// count: the level a random start is scaled to.
template <typename Index>
double observedMean(const NmfMatrix<Index>& A);

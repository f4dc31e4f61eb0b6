#pragma once

#include <cstddef>
#include <memory>

#include "greedy_nmf.h"
#include "workers.h"

// The data matrix A of a run, with what the solver needs of it: its two
// products, split over a team by output columns, and its squared norm and
// mean. A sparse A is multiplied from the left through a transposed copy
// of its structure, made once: a product then gathers every output column
// from one compressed column, and parts share out whole columns.
template <typename Index>
class DataMatrix {
public:
    explicit DataMatrix(const NmfMatrix<Index>& A) : A_(A) {}

    // Makes the transposed copy of a sparse A; false when memory runs out.
    bool prepare();

    std::ptrdiff_t rows() const { return A_.m; }
    std::ptrdiff_t columns() const { return A_.n; }

    // P (k×n) = X (k×m)·A. False when a product's scratch panel cannot be had.
    bool timesA(const Workers& workers, double* P, const double* X, std::ptrdiff_t k) const;
    // P (k×m) = X (k×n)·Aᵀ.
    bool timesTransposed(const Workers& workers, double* P, const double* X,
                         std::ptrdiff_t k) const;

    // Σ a² over every stored entry, in storage order.
    double squaredNorm() const;
    // Σ a over every stored entry, in storage order, over m·n.
    double mean() const;

private:
    bool sparse() const { return A_.columnStart != nullptr; }
    std::ptrdiff_t stored() const;

    NmfMatrix<Index> A_;
    // Aᵀ of a sparse A: n×m in compressed columns, each column's rows increasing.
    std::unique_ptr<Index[]> tStart_, tRow_;
    std::unique_ptr<double[]> tValues_;
};

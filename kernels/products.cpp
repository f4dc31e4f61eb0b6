#include "no_fp_contract.h"

#include "products.h"

#include <cstddef>
#include <cstdint>

#include "kernel_table.h"

namespace {

const KernelTable& dispatched() { return kernelTable(dispatchedPath(Kernel::product)); }

void fill(double* P, std::ptrdiff_t count) {
    for (std::ptrdiff_t i = 0; i < count; ++i) P[i] = 0.0;
}

DenseProduct product(double* P, const double* X, const double* A, std::ptrdiff_t k,
                     std::ptrdiff_t m, std::ptrdiff_t n) {
    return {P, X, A, k, m, n, m, false};
}

// X·Aᵀ sums over A's columns: depth n, and P has A's m rows as columns.
DenseProduct transposedProduct(double* P, const double* X, const double* A, std::ptrdiff_t k,
                               std::ptrdiff_t n, std::ptrdiff_t m) {
    return {P, X, A, k, n, m, m, true};
}

template <typename Index>
SparseProduct<Index> product(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                             std::ptrdiff_t n, const Index* columnStart, const Index* rowIndex,
                             const double* values) {
    return {P, X, k, m, n, columnStart, rowIndex, values, false};
}

// X·Sᵀ sums over S's n columns; P has S's m rows as columns.
template <typename Index>
SparseProduct<Index> transposedProduct(double* P, const double* X, std::ptrdiff_t k,
                                       std::ptrdiff_t m, std::ptrdiff_t n,
                                       const Index* columnStart, const Index* rowIndex,
                                       const double* values) {
    return {P, X, k, n, m, columnStart, rowIndex, values, true};
}

template <typename Index>
bool valid(std::ptrdiff_t m, std::ptrdiff_t n, const Index* columnStart, const Index* rowIndex) {
    if (columnStart[0] != 0) return false;
    for (std::ptrdiff_t j = 0; j < n; ++j)
        if (columnStart[j + 1] < columnStart[j]) return false;
    // One test per entry, no early exit, so that it runs as fast as a pass
    // over the indices can.
    bool inside = true;
    const std::ptrdiff_t count = static_cast<std::ptrdiff_t>(columnStart[n]);
    for (std::ptrdiff_t t = 0; t < count; ++t)
        inside &= rowIndex[t] >= 0 && rowIndex[t] < m;
    return inside;
}

}  // namespace

// The paths see only products with every size positive: an empty shared
// index leaves each sum at its +0.0 start.
bool denseProductWith(const KernelTable& kernels, const DenseProduct& p) {
    if (p.k <= 0 || p.n <= 0) return true;
    if (p.depth <= 0) {
        fill(p.P, p.k * p.n);
        return true;
    }
    // A single row leaves a vector's lanes empty: the scalar path's row
    // loop is faster on every CPU (a sum of products is one of these).
    if (p.k == 1) return scalarKernels.denseProduct(p);
    return kernels.denseProduct(p);
}

template <typename Index>
void sparseProductWith(const KernelTable& kernels, const SparseProduct<Index>& p) {
    if (p.k <= 0 || p.n <= 0) return;
    if (p.transposed || p.depth <= 0) fill(p.P, p.k * p.n);
    if (p.depth <= 0) return;
    if constexpr (sizeof(Index) == 4) kernels.sparseProduct32(p);
    else kernels.sparseProduct64(p);
}
template void sparseProductWith(const KernelTable&, const SparseProduct<std::int32_t>&);
template void sparseProductWith(const KernelTable&, const SparseProduct<std::int64_t>&);


bool fullTimesFull(double* P, const double* X, const double* A, std::ptrdiff_t k,
                   std::ptrdiff_t m, std::ptrdiff_t n) {
    return denseProductWith(dispatched(), product(P, X, A, k, m, n));
}

bool fullTimesTransposed(double* P, const double* X, const double* A, std::ptrdiff_t k,
                         std::ptrdiff_t n, std::ptrdiff_t m) {
    return denseProductWith(dispatched(), transposedProduct(P, X, A, k, n, m));
}

void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                     std::ptrdiff_t n, const std::int32_t* columnStart,
                     const std::int32_t* rowIndex, const double* values) {
    sparseProductWith(dispatched(), product(P, X, k, m, n, columnStart, rowIndex, values));
}

void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                     std::ptrdiff_t n, const std::int64_t* columnStart,
                     const std::int64_t* rowIndex, const double* values) {
    sparseProductWith(dispatched(), product(P, X, k, m, n, columnStart, rowIndex, values));
}

void fullTimesSparseTransposed(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                               std::ptrdiff_t n, const std::int32_t* columnStart,
                               const std::int32_t* rowIndex, const double* values) {
    sparseProductWith(dispatched(), transposedProduct(P, X, k, m, n, columnStart, rowIndex, values));
}

void fullTimesSparseTransposed(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                               std::ptrdiff_t n, const std::int64_t* columnStart,
                               const std::int64_t* rowIndex, const double* values) {
    sparseProductWith(dispatched(), transposedProduct(P, X, k, m, n, columnStart, rowIndex, values));
}

bool validSparseColumns(std::ptrdiff_t m, std::ptrdiff_t n, const std::int32_t* columnStart,
                        const std::int32_t* rowIndex) {
    return valid(m, n, columnStart, rowIndex);
}

bool validSparseColumns(std::ptrdiff_t m, std::ptrdiff_t n, const std::int64_t* columnStart,
                        const std::int64_t* rowIndex) {
    return valid(m, n, columnStart, rowIndex);
}

bool fullTimesFullOn(KernelPath path, double* P, const double* X, const double* A,
                     std::ptrdiff_t k, std::ptrdiff_t m, std::ptrdiff_t n) {
    return kernelPathAvailable(path) && denseProductWith(kernelTable(path), product(P, X, A, k, m, n));
}

bool fullTimesTransposedOn(KernelPath path, double* P, const double* X, const double* A,
                           std::ptrdiff_t k, std::ptrdiff_t n, std::ptrdiff_t m) {
    return kernelPathAvailable(path) &&
           denseProductWith(kernelTable(path), transposedProduct(P, X, A, k, n, m));
}

template <typename Index>
bool fullTimesSparseOn(KernelPath path, double* P, const double* X, std::ptrdiff_t k,
                       std::ptrdiff_t m, std::ptrdiff_t n, const Index* columnStart,
                       const Index* rowIndex, const double* values) {
    if (!kernelPathAvailable(path)) return false;
    sparseProductWith(kernelTable(path), product(P, X, k, m, n, columnStart, rowIndex, values));
    return true;
}

template <typename Index>
bool fullTimesSparseTransposedOn(KernelPath path, double* P, const double* X, std::ptrdiff_t k,
                                 std::ptrdiff_t m, std::ptrdiff_t n, const Index* columnStart,
                                 const Index* rowIndex, const double* values) {
    if (!kernelPathAvailable(path)) return false;
    sparseProductWith(kernelTable(path),
              transposedProduct(P, X, k, m, n, columnStart, rowIndex, values));
    return true;
}

template bool fullTimesSparseOn(KernelPath, double*, const double*, std::ptrdiff_t,
                                std::ptrdiff_t, std::ptrdiff_t, const std::int32_t*,
                                const std::int32_t*, const double*);
template bool fullTimesSparseOn(KernelPath, double*, const double*, std::ptrdiff_t,
                                std::ptrdiff_t, std::ptrdiff_t, const std::int64_t*,
                                const std::int64_t*, const double*);
template bool fullTimesSparseTransposedOn(KernelPath, double*, const double*, std::ptrdiff_t,
                                          std::ptrdiff_t, std::ptrdiff_t, const std::int32_t*,
                                          const std::int32_t*, const double*);
template bool fullTimesSparseTransposedOn(KernelPath, double*, const double*, std::ptrdiff_t,
                                          std::ptrdiff_t, std::ptrdiff_t, const std::int64_t*,
                                          const std::int64_t*, const double*);

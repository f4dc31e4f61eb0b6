#include "no_fp_contract.h"

#include "products.h"

#include <cstddef>
#include <cstdint>

#include "kernel_table.h"

namespace {

void fill(double* P, std::ptrdiff_t count) {
    for (std::ptrdiff_t i = 0; i < count; ++i) P[i] = 0.0;
}

template <typename Index>
SparseProduct<Index> sparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                            std::ptrdiff_t n, const Index* columnStart, const Index* rowIndex,
                            const double* values, bool transposed) {
    return {P, X, k, m, n, columnStart, rowIndex, values, transposed};
}

}  // namespace

const KernelTable& productTableFor(const KernelTable& preferred, std::ptrdiff_t k) {
    return k == 1 ? scalarKernels : preferred;
}

// The paths see only products with every size positive: an empty shared
// index leaves each sum at its +0.0 start.
bool denseProductWith(const KernelTable& kernels, const DenseProduct& p) {
    if (p.k <= 0 || p.width() <= 0) return true;
    if (p.depth() <= 0) {
        fill(p.P, p.k * p.width());
        return true;
    }
    return kernels.denseProduct(p);
}

template <typename Index>
void sparseProductWith(const KernelTable& kernels, const SparseProduct<Index>& p) {
    if (p.k <= 0 || p.width() <= 0) return;
    if (p.transposed || p.depth() <= 0) fill(p.P, p.k * p.width());
    if (p.depth() <= 0) return;
    if constexpr (sizeof(Index) == 4) kernels.sparseProduct32(p);
    else kernels.sparseProduct64(p);
}

namespace {

const KernelTable& dispatched(std::ptrdiff_t k) {
    return productTableFor(kernelTable(dispatchedPath(Kernel::product)), k);
}

}  // namespace

bool fullTimesFull(double* P, const double* X, const double* A, std::ptrdiff_t k,
                   std::ptrdiff_t m, std::ptrdiff_t n) {
    return denseProductWith(dispatched(k), {P, X, A, k, m, n, m, false});
}

bool fullTimesTransposed(double* P, const double* X, const double* A, std::ptrdiff_t k,
                         std::ptrdiff_t m, std::ptrdiff_t n) {
    return denseProductWith(dispatched(k), {P, X, A, k, m, n, m, true});
}

template <typename Index>
void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                     std::ptrdiff_t n, const Index* columnStart, const Index* rowIndex,
                     const double* values) {
    sparseProductWith(dispatched(k), sparse(P, X, k, m, n, columnStart, rowIndex, values, false));
}

template <typename Index>
void fullTimesSparseTransposed(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                               std::ptrdiff_t n, const Index* columnStart,
                               const Index* rowIndex, const double* values) {
    sparseProductWith(dispatched(k), sparse(P, X, k, m, n, columnStart, rowIndex, values, true));
}

template <typename Index>
bool validSparseColumns(std::ptrdiff_t m, std::ptrdiff_t n, const Index* columnStart,
                        const Index* rowIndex) {
    if (columnStart[0] != 0) return false;
    for (std::ptrdiff_t j = 0; j < n; ++j)
        if (columnStart[j + 1] < columnStart[j]) return false;
    // One test per entry, no early exit, so that it runs as fast as a pass
    // over the indices can.
    bool inside = true;
    const std::ptrdiff_t count = static_cast<std::ptrdiff_t>(columnStart[n]);
    for (std::ptrdiff_t t = 0; t < count; ++t) inside &= rowIndex[t] >= 0 && rowIndex[t] < m;
    return inside;
}

bool fullTimesFullOn(KernelPath path, double* P, const double* X, const double* A,
                     std::ptrdiff_t k, std::ptrdiff_t m, std::ptrdiff_t n) {
    return kernelPathAvailable(path) &&
           denseProductWith(kernelTable(path), {P, X, A, k, m, n, m, false});
}

bool fullTimesTransposedOn(KernelPath path, double* P, const double* X, const double* A,
                           std::ptrdiff_t k, std::ptrdiff_t m, std::ptrdiff_t n) {
    return kernelPathAvailable(path) &&
           denseProductWith(kernelTable(path), {P, X, A, k, m, n, m, true});
}

template <typename Index>
bool fullTimesSparseOn(KernelPath path, double* P, const double* X, std::ptrdiff_t k,
                       std::ptrdiff_t m, std::ptrdiff_t n, const Index* columnStart,
                       const Index* rowIndex, const double* values) {
    if (!kernelPathAvailable(path)) return false;
    sparseProductWith(kernelTable(path), sparse(P, X, k, m, n, columnStart, rowIndex, values, false));
    return true;
}

template <typename Index>
bool fullTimesSparseTransposedOn(KernelPath path, double* P, const double* X, std::ptrdiff_t k,
                                 std::ptrdiff_t m, std::ptrdiff_t n, const Index* columnStart,
                                 const Index* rowIndex, const double* values) {
    if (!kernelPathAvailable(path)) return false;
    sparseProductWith(kernelTable(path), sparse(P, X, k, m, n, columnStart, rowIndex, values, true));
    return true;
}

// Each template once for each index width the hosts use.
#define GREEDYSWEEP_PRODUCTS_FOR(Index)                                                          \
    template void sparseProductWith(const KernelTable&, const SparseProduct<Index>&);           \
    template void fullTimesSparse(double*, const double*, std::ptrdiff_t, std::ptrdiff_t,         \
                                  std::ptrdiff_t, const Index*, const Index*, const double*);    \
    template void fullTimesSparseTransposed(double*, const double*, std::ptrdiff_t,              \
                                            std::ptrdiff_t, std::ptrdiff_t, const Index*,        \
                                            const Index*, const double*);                        \
    template bool validSparseColumns(std::ptrdiff_t, std::ptrdiff_t, const Index*, const Index*); \
    template bool fullTimesSparseOn(KernelPath, double*, const double*, std::ptrdiff_t,           \
                                    std::ptrdiff_t, std::ptrdiff_t, const Index*, const Index*,   \
                                    const double*);                                              \
    template bool fullTimesSparseTransposedOn(KernelPath, double*, const double*, std::ptrdiff_t, \
                                              std::ptrdiff_t, std::ptrdiff_t, const Index*,       \
                                              const Index*, const double*);
GREEDYSWEEP_PRODUCTS_FOR(std::int32_t)
GREEDYSWEEP_PRODUCTS_FOR(std::int64_t)

#include "no_fp_contract.h"

#include "greedy_coordinate_update.h"

#include <cstddef>
#include <memory>
#include <new>

#include "kernel_table.h"

bool greedyCoordinateUpdateWith(const KernelTable& kernels, double* GW, const double* HHt,
                                double* W, double tol, std::int32_t n, std::int32_t k,
                                std::int32_t maxinner) {
    const std::size_t length = k > 0 ? static_cast<std::size_t>(k) : 0;
    // The diagonal and its halves in one block.
    std::unique_ptr<double[]> diag(new (std::nothrow) double[2 * length]);
    // Without scratch space nothing is touched: GW and W stay as given.
    if (length > 0 && !diag) return false;
    // Every column is finished before its first scan.
    if (n <= 0 || maxinner <= 0) return true;

    const std::ptrdiff_t diagonalStride = static_cast<std::ptrdiff_t>(k) + 1;
    for (std::size_t i = 0; i < length; ++i) {
        diag[i] = HHt[static_cast<std::ptrdiff_t>(i) * diagonalStride];
        diag[length + i] = diag[i] * 0.5;
    }

    const GreedyProblem problem{GW, HHt, W, diag.get(), diag.get() + length, n, k, maxinner};
    kernels.greedyColumns(problem, kernels.initialReduction(problem) * tol, 0);
    return true;
}

bool greedyCoordinateUpdateOn(KernelPath path, double* GW, const double* HHt, double* W,
                              double tol, std::int32_t n, std::int32_t k,
                              std::int32_t maxinner) {
    if (!kernelPathAvailable(path)) return false;
    return greedyCoordinateUpdateWith(kernelTable(path), GW, HHt, W, tol, n, k, maxinner);
}

bool greedyCoordinateUpdate(double* GW, const double* HHt, double* W, double tol,
                            std::int32_t n, std::int32_t k, std::int32_t maxinner) {
    return greedyCoordinateUpdateWith(kernelTable(dispatchedPath(Kernel::greedyUpdate)), GW,
                                      HHt, W, tol, n, k, maxinner);
}

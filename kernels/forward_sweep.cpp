#include "no_fp_contract.h"

#include "forward_sweep.h"

#include <cstddef>

#include "kernel_table.h"

#if defined(_MSC_VER) && !defined(__clang__)
#define GREEDYSWEEP_NOINLINE __declspec(noinline)
#else
#define GREEDYSWEEP_NOINLINE __attribute__((noinline))
#endif

namespace {

// Writes to the stack a page at a time, downward from just below the
// caller's frame to sweepStackBound below it, so that the sweep called next
// from that frame finds its frame's pages already touched in order, or the
// thread has stopped on its guard page here. Not inlined, so that this block
// lies where the sweep's frame will; volatile, so that no write is dropped.
// 4 KiB is the smallest page of every system the kernels build for.
GREEDYSWEEP_NOINLINE void touchSweepStack() {
    constexpr std::size_t page = 4096;
    [[maybe_unused]] volatile unsigned char block[sweepStackBound];
    for (std::size_t end = sweepStackBound; end > 0; end -= page) block[end - 1] = 0;
    block[0] = 0;
}

using Sweep = void (*)(double* X, const double* M, const double* C, double lambda,
                       std::int32_t n, std::int32_t m);

void runSweep(Sweep sweep, double* X, const double* M, const double* C, double lambda,
              std::int32_t n, std::int32_t m) {
    if (n <= 0 || m <= 0) return;
    touchSweepStack();
    sweep(X, M, C, lambda, n, m);
}

}  // namespace

bool hardThresholdSweepOn(KernelPath path, double* X, const double* M, const double* C,
                          double lambda, std::int32_t n, std::int32_t m) {
    if (!kernelPathAvailable(path)) return false;
    runSweep(kernelTable(path).hardThresholdSweep, X, M, C, lambda, n, m);
    return true;
}

bool nonNegativeSweepOn(KernelPath path, double* X, const double* M, const double* C,
                        double lambda, std::int32_t n, std::int32_t m) {
    if (!kernelPathAvailable(path)) return false;
    runSweep(kernelTable(path).nonNegativeSweep, X, M, C, lambda, n, m);
    return true;
}

void hardThresholdSweep(double* X, const double* M, const double* C, double lambda,
                        std::int32_t n, std::int32_t m) {
    runSweep(kernelTable(dispatchedPath(Kernel::sweep)).hardThresholdSweep, X, M, C, lambda, n,
             m);
}

void nonNegativeSweep(double* X, const double* M, const double* C, double lambda,
                      std::int32_t n, std::int32_t m) {
    runSweep(kernelTable(dispatchedPath(Kernel::sweep)).nonNegativeSweep, X, M, C, lambda, n,
             m);
}

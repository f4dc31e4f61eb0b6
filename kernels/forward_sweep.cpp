#include "no_fp_contract.h"

#include "forward_sweep.h"

#include "kernel_table.h"

namespace {

using Sweep = void (*)(double* X, const double* M, const double* C, double lambda,
                       std::int32_t n, std::int32_t m);

void runSweep(Sweep sweep, double* X, const double* M, const double* C, double lambda,
              std::int32_t n, std::int32_t m) {
    if (n <= 0 || m <= 0) return;
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
    runSweep(kernelTable(fastestKernelPath()).hardThresholdSweep, X, M, C, lambda, n, m);
}

void nonNegativeSweep(double* X, const double* M, const double* C, double lambda,
                      std::int32_t n, std::int32_t m) {
    runSweep(kernelTable(fastestKernelPath()).nonNegativeSweep, X, M, C, lambda, n, m);
}

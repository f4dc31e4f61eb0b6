#include "no_fp_contract.h"

#include "forward_sweep.h"

#include "kernel_table.h"

void hardThresholdSweepOn(KernelPath path, double* X, const double* M, const double* C,
                          double lambda, std::int32_t n, std::int32_t m) {
    if (n > 0 && m > 0) kernelTable(path).hardThresholdSweep(X, M, C, lambda, n, m);
}

void nonNegativeSweepOn(KernelPath path, double* X, const double* M, const double* C,
                        double lambda, std::int32_t n, std::int32_t m) {
    if (n > 0 && m > 0) kernelTable(path).nonNegativeSweep(X, M, C, lambda, n, m);
}

void hardThresholdSweep(double* X, const double* M, const double* C, double lambda,
                        std::int32_t n, std::int32_t m) {
    hardThresholdSweepOn(fastestKernelPath(), X, M, C, lambda, n, m);
}

void nonNegativeSweep(double* X, const double* M, const double* C, double lambda,
                      std::int32_t n, std::int32_t m) {
    nonNegativeSweepOn(fastestKernelPath(), X, M, C, lambda, n, m);
}

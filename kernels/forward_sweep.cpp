#include "forward_sweep.h"

#include "paths.h"

void hardThresholdSweepOn(KernelPath path, double* X, const double* M, const double* C,
                          double lambda, std::int32_t n, std::int32_t m) {
    if (n <= 0 || m <= 0) return;
    switch (path) {
    case KernelPath::scalar:
        scalar_path::hardThresholdSweep(X, M, C, lambda, n, m);
        return;
#if GREEDYSWEEP_X86_64
    case KernelPath::avx2:
        avx2_path::hardThresholdSweep(X, M, C, lambda, n, m);
        return;
    case KernelPath::avx512:
        avx512_path::hardThresholdSweep(X, M, C, lambda, n, m);
        return;
#endif
    }
}

void nonNegativeSweepOn(KernelPath path, double* X, const double* M, const double* C,
                        double /*lambda*/, std::int32_t n, std::int32_t m) {
    if (n <= 0 || m <= 0) return;
    switch (path) {
    case KernelPath::scalar:
        scalar_path::nonNegativeSweep(X, M, C, n, m);
        return;
#if GREEDYSWEEP_X86_64
    case KernelPath::avx2:
        avx2_path::nonNegativeSweep(X, M, C, n, m);
        return;
    case KernelPath::avx512:
        avx512_path::nonNegativeSweep(X, M, C, n, m);
        return;
#endif
    }
}

void hardThresholdSweep(double* X, const double* M, const double* C, double lambda,
                        std::int32_t n, std::int32_t m) {
    hardThresholdSweepOn(fastestKernelPath(), X, M, C, lambda, n, m);
}

void nonNegativeSweep(double* X, const double* M, const double* C, double lambda,
                      std::int32_t n, std::int32_t m) {
    nonNegativeSweepOn(fastestKernelPath(), X, M, C, lambda, n, m);
}

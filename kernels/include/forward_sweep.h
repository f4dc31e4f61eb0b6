#pragma once

#include <cstdint>

#include "kernel_path.h"

// One forward pass of exact one-variable minimisation for every column of C:
// X(j,i) minimises ½·M(j,j)·x² + (C(j,i) + Σ_{l<j} M(j,l)·X(l,i))·x, then the
// member's rule is applied. M is n×n and only its lower triangle (with the
// diagonal) is read; C and X are n×m. X must not overlap M or C. Every path
// gives the bits of the operation order in docs/operation-order.md.

// Keeps an entry only when it lowers the quadratic by more than lambda.
void hardThresholdSweep(double* X, const double* M, const double* C, double lambda,
                        std::int32_t n, std::int32_t m);

// Sets negative entries to zero; lambda is accepted and ignored.
void nonNegativeSweep(double* X, const double* M, const double* C, double lambda,
                      std::int32_t n, std::int32_t m);

// The same on a named path, for tests and benchmarks. Returns false, with X
// untouched, when `path` is not one of this build's paths or this CPU cannot
// execute it (see kernelPathAvailable); there is no fallback to another path,
// so that a caller never measures one path under another's name.
[[nodiscard]] bool hardThresholdSweepOn(KernelPath path, double* X, const double* M,
                                        const double* C, double lambda, std::int32_t n,
                                        std::int32_t m);
[[nodiscard]] bool nonNegativeSweepOn(KernelPath path, double* X, const double* M,
                                      const double* C, double lambda, std::int32_t n,
                                      std::int32_t m);

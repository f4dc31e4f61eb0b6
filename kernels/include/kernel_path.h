#pragma once

#include "architecture.h"

// The instruction-set paths a kernel can run on. Every path gives the same
// bits; they differ only in speed. Callers normally take the one dispatch
// picks for each kernel; tests and benchmarks name each path to compare them.
#if GREEDYSWEEP_X86_64
enum class KernelPath { scalar, avx2, avx512 };
inline constexpr KernelPath allKernelPaths[] = {KernelPath::scalar, KernelPath::avx2,
                                                KernelPath::avx512};
#elif GREEDYSWEEP_AARCH64
enum class KernelPath { scalar, neon };
inline constexpr KernelPath allKernelPaths[] = {KernelPath::scalar, KernelPath::neon};
#else
enum class KernelPath { scalar };
inline constexpr KernelPath allKernelPaths[] = {KernelPath::scalar};
#endif

const char* kernelPathName(KernelPath path);

// True when this CPU (and its operating system) can execute `path`.
bool kernelPathAvailable(KernelPath path);

// The kernels dispatch picks a path for, each on its own: on some CPUs the
// fastest path differs between them.
enum class Kernel { greedyUpdate, sweep, product };
inline constexpr Kernel allKernels[] = {Kernel::greedyUpdate, Kernel::sweep, Kernel::product};

const char* kernelName(Kernel kernel);

// The widest path this CPU can execute.
KernelPath widestKernelPath();

// The path `kernel` takes on this CPU: the one measured fastest on CPUs of
// its kind (the table in kernel_path.cpp), else the widest it can execute.
KernelPath dispatchedPath(Kernel kernel);

#pragma once

// The instruction-set paths a kernel can run on. Every path gives the same
// bits; they differ only in speed. Callers normally take the fastest one;
// tests and benchmarks name each path to compare them.
enum class KernelPath { scalar };

inline constexpr KernelPath allKernelPaths[] = {KernelPath::scalar};

const char* kernelPathName(KernelPath path);

// True when this CPU can execute `path`.
bool kernelPathAvailable(KernelPath path);

// The fastest path this CPU can execute.
KernelPath fastestKernelPath();

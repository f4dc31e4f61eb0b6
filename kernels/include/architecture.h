#pragma once

// The instruction-set families the kernels know, as compiled for.

#if defined(__x86_64__) || defined(_M_X64)
#define GREEDYSWEEP_X86_64 1
#else
#define GREEDYSWEEP_X86_64 0
#endif

#if defined(__aarch64__) || defined(_M_ARM64)
#define GREEDYSWEEP_AARCH64 1
#else
#define GREEDYSWEEP_AARCH64 0
#endif

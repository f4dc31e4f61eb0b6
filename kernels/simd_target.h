#pragma once

// Instruction-set targets for the vector paths. Each vector function carries
// its target as a function attribute, so every kernel file compiles with the
// same flags (a MATLAB user's mex builds them all alike) and the CPU is asked
// at run time which paths it can execute.

#if defined(__x86_64__) || defined(_M_X64)
#define GREEDYSWEEP_X86_64 1
#else
#define GREEDYSWEEP_X86_64 0
#endif

#if defined(_MSC_VER) && !defined(__clang__)
// MSVC accepts every intrinsic in every function.
#define GREEDYSWEEP_TARGET_AVX2
#define GREEDYSWEEP_TARGET_AVX512
#else
#define GREEDYSWEEP_TARGET_AVX2 __attribute__((target("avx2")))
#define GREEDYSWEEP_TARGET_AVX512 __attribute__((target("avx512f")))
#endif

// Inlines everything a function calls, so a shared schedule compiled for one
// target keeps that target's scans inline.
#if defined(__GNUC__)
#define GREEDYSWEEP_FLATTEN __attribute__((flatten))
#else
#define GREEDYSWEEP_FLATTEN
#endif

// Fully unrolls a short loop over a register tile so the tile stays in registers.
#if defined(__GNUC__)
#define GREEDYSWEEP_UNROLL_TILE _Pragma("GCC unroll 32")
#else
#define GREEDYSWEEP_UNROLL_TILE
#endif

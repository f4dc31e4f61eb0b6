#pragma once

// How a path's source compiles everything between GREEDYSWEEP_BEGIN_TARGET("isa") and
// GREEDYSWEEP_END_TARGET for that instruction set while every kernel file
// takes the same flags (a MATLAB user's mex builds them all alike); the CPU
// is asked at run time which paths it can execute. Standard headers must be
// included before the region, so that nothing outside the path is compiled
// for its instruction set.

#include "architecture.h"

#define GREEDYSWEEP_PRAGMA(text) _Pragma(#text)
#if defined(__clang__)
#define GREEDYSWEEP_BEGIN_TARGET(isa) \
    GREEDYSWEEP_PRAGMA(clang attribute push(__attribute__((target(isa))), apply_to = function))
#define GREEDYSWEEP_END_TARGET GREEDYSWEEP_PRAGMA(clang attribute pop)
#elif defined(__GNUC__)
#define GREEDYSWEEP_BEGIN_TARGET(isa) GREEDYSWEEP_PRAGMA(GCC push_options) GREEDYSWEEP_PRAGMA(GCC target(isa))
#define GREEDYSWEEP_END_TARGET GREEDYSWEEP_PRAGMA(GCC pop_options)
#else
// MSVC accepts every intrinsic in every function.
#define GREEDYSWEEP_BEGIN_TARGET(isa)
#define GREEDYSWEEP_END_TARGET
#endif

// Inlines everything a function calls, so a shared schedule keeps a layer's
// operations inline in it.
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

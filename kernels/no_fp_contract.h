#pragma once

// Kernel sources include this first: no multiply and add may be fused into
// one rounding, or results stop matching the operation order of
// docs/operation-order.md. The build passes -ffp-contract=off too, but a
// user's plain mex or mkoctfile call does not, and GCC ignores the standard
// pragma in C++; its own pragma covers every function defined after it.
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#elif defined(__GNUC__)
#pragma GCC optimize("fp-contract=off")
#elif defined(_MSC_VER)
#pragma fp_contract(off)
#endif

// Fast math reorders sums and assumes no NaN or infinity, which no pragma
// here can undo: such a build would give other bits, silently.
#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error "greedysweep kernels need IEEE arithmetic in the documented order: build them without -ffast-math, -Ofast or -ffinite-math-only"
#endif
#if defined(_M_FP_FAST)
#error "greedysweep kernels need IEEE arithmetic in the documented order: build them with /fp:precise, not /fp:fast"
#endif

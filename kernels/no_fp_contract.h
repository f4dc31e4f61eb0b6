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

#pragma once

// Kernel sources include this first: no multiply and add may be fused into
// one rounding, or results stop matching the documented operation order.
// GCC ignores the standard pragma in C++ and relies on -ffp-contract=off,
// which every build path passes.
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#elif defined(_MSC_VER)
#pragma fp_contract(off)
#endif

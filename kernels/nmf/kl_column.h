#pragma once

// The column problems of the Kullback-Leibler fit: with the other factor
// fixed, a column x (k entries) of one factor solves
//   min φ(x) = Σ_p (v_p − a_p·ln v_p) + Σ_r sum_r·x_r + l1·Σx + ½·l2·‖x‖²  over x ≥ 0,
// v = Bᵀx at the column's positive entries a_p, B the other factor's
// columns at those entries' rows and sum_r the sum of its r-th row over all
// of them: the model's entries at A's zeros enter φ only through that sum.

#include <cstddef>

#include "../kernel_table.h"

// What the problems of one half step share.
struct KlShared {
    const KernelTable& loops;  // the path of the two loops (kl_loops.h)
    const double* basisSum;    // k: each row of B summed over all its columns
    std::ptrdiff_t k;
    double l1, l2;
};

struct KlColumn {
    const double* a;      // the positive entries, `count` of them
    const double* basis;  // k×count, row-major: basis + r·count holds B's row r
    std::ptrdiff_t count;
    double* x;            // k, in place
    double* v;            // count: the model at the entries
};

// v = Bᵀx, each entry summed over r in order from +0.
void klModel(const KlShared& s, const KlColumn& c);

// `passes` cyclic passes over x's entries, each a Newton step on φ in that
// entry alone, clamped at 0, with v kept in step; up to klGroup columns side
// by side, each as if alone. A step that lowers an entry below 1/√2 of
// itself is taken only if v stays positive and φ's slope is not negative
// after it; else the entry falls to that bound instead (a fall φ's
// convexity and falling curvature show cannot raise it). So no step
// raises φ, and v stays positive.
void klPasses(const KlShared& s, const KlColumn* group, int columns, int passes);

// Σ_p (a_p·ln(a_p/v_p) − a_p) in order from +0: the column's divergence but
// for Σ v over all rows.
double klDivergencePart(const KlColumn& c);

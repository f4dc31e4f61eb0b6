#pragma once

#include <cstdint>
#include <limits>

// An upper bound on the computed reduction r = −(g·s + ((d·0.5)·s)·s) that
// needs no division, so the vector scans can skip the exact evaluation of
// rows that cannot win. It applies to columns whose every w lies in
// [0, 2^200], in calls whose every d lies in [2^-200, 2^200]; other columns
// are scanned exactly. With h = fl(fl(0.5/d)·(1 + 2^-40)), per row:
//
//   U = fl(g·min(w, fl(g·h))),  bound = U ≤ 2^198 ? max(U, 2^-900) : +Inf.
//
// bound ≥ r whenever r is not NaN (a NaN is never chosen). Let u = 2^-53,
// τ = 2^-1075 (the absolute error of an underflowing product; sums never
// have one), X = g²/(2d), U1 = fl(fl(g·h)·g), U2 = fl(g·w).
//
// Which bound: for g < 0, fl(g·h) < 0 ≤ w, so U = U1. For g ≥ 0, rounding is
// monotone, so U = min(U1, U2). If U ≤ 2^198 and U1 > 2^198, then U = U2.
// Otherwise U1 ≤ 2^198, and since h ≥ 2^-201, that means |g| < 2^200.
//
// U2, for g ≥ 0, w ≥ 0, d > 0: t = fl(w − g/d) ≤ w, so the clamped t lies in
// [0, w] and s ∈ [−w, 0]; fl(g·s) ≥ −U2, the curvature term is ≥ 0, and
// r = −fl(fl(g·s) + curvature) ≤ −fl(g·s) ≤ U2. No range is needed. On a
// factor with many zeros this is the bound that matters: w = 0 and g > 0
// give U2 = 0 and r = −0.
//
// U1, for |g| < 2^200: |g/d| ≤ 2^400, |t| ≤ 2^401, |s| ≤ 2^402, |g·s| ≤ 2^602
// and ((d·0.5)·s)·s ≤ 2^1003, so nothing overflows, and d·0.5 is exact. Each
// product has relative error u, plus τ if it underflows; (d·0.5)·s and g·h
// underflow only when |s| resp. |g| < 2^-821, which makes their τ times the
// next factor negligible. With A = g·s and B = (d/2)·s², for r > 0:
//   r ≤ (1+u)·(−A(1+u) − B(1−u)² + 3τ) ≤ X(1+u)³/(1−u)² + 4τ ≤ X(1+6u) + 4τ,
// because −(1+u)·g·s − (d/2)(1−u)²·s² ≤ X(1+u)²/(1−u)² for every real s.
// And U1 ≥ X(1−u)⁴(1 + 2^-40) − 2τ. If X ≥ 2^-1000 this exceeds
// X(1+6u) + X·2^-41 − 2τ > X(1+6u) + 4τ ≥ r; otherwise r < 2^-900, the floor.
//
// For g ≥ 0 both bounds then hold, and min(U2, max(U1, f)) ≤ max(U, f).
// A NaN g gives a NaN U, which fails the test and becomes +Inf.

namespace reduction_bound {

inline constexpr double slack = 1.0 + 0x1p-40;
inline constexpr double least = 0x1p-900;          // the floor
inline constexpr double largestTrusted = 0x1p198;  // above this, |g| may be out of range
inline constexpr double smallestDiagonal = 0x1p-200;
inline constexpr double largestDiagonal = 0x1p200;
inline constexpr double largestFactor = 0x1p200;

inline bool diagonalInRange(double d) { return d >= smallestDiagonal && d <= largestDiagonal; }
inline bool factorInRange(double w) { return w >= 0 && w <= largestFactor; }

// h for one row, in the order the bound's proof assumes.
inline double scale(double d) {
    if (!diagonalInRange(d)) return std::numeric_limits<double>::quiet_NaN();  // never used
    return (0.5 / d) * slack;
}

inline bool everyDiagonalInRange(const double* diag, std::int32_t k) {
    for (std::int32_t i = 0; i < k; ++i)
        if (!diagonalInRange(diag[i])) return false;
    return true;
}

inline bool everyFactorInRange(const double* w, std::int32_t k) {
    for (std::int32_t i = 0; i < k; ++i)
        if (!factorInRange(w[i])) return false;
    return true;
}

}  // namespace reduction_bound

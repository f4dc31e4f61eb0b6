#pragma once

// The two loops of a Kullback-Leibler coordinate step, in the scalar order
// every path gives. The slope's sums are taken for a group of lines side
// by side, each line's sums its own, so that their running sums overlap;
// the vector paths form quotients a vector at a time and add them in this
// order.

#include <cstddef>

// v_p = v_p + d·b_p for each entry.
inline void klScaledAddScalar(double* v, const double* b, double d, std::ptrdiff_t count) {
    for (std::ptrdiff_t p = 0; p < count; ++p) v[p] = v[p] + d * b[p];
}

// Lines whose slope sums are taken together.
inline constexpr int klGroup = 4;

// One line of a group: its positive entries a, the basis row b at them, the
// model v, and how many (0 for a line the group leaves empty).
struct KlSlopeLine {
    const double* a;
    const double* b;
    const double* v;
    std::ptrdiff_t count;
};

// For each line g of the group, sums[2g] = Σ_p a_p·u_p and sums[2g+1] =
// Σ_p (a_p·u_p)·u_p with u_p = b_p/v_p: each one running sum from +0.0, p in
// increasing order.
inline void klSlopeSumsScalar(const KlSlopeLine* lines, double* sums) {
    for (int g = 0; g < klGroup; ++g) {
        const KlSlopeLine& l = lines[g];
        double weighted = 0.0, curvature = 0.0;
        for (std::ptrdiff_t p = 0; p < l.count; ++p) {
            const double u = l.b[p] / l.v[p];
            const double t = l.a[p] * u;
            weighted = weighted + t;
            curvature = curvature + t * u;
        }
        sums[2 * g] = weighted;
        sums[2 * g + 1] = curvature;
    }
}

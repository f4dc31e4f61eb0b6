#pragma once

// The loops of kl_loops.h over a layer: the scaled add lane by lane; the
// slope's quotients a vector at a time, added one lane after another into
// each line's two running sums, the group's lines interleaved so that
// their sums overlap.

#include <cstddef>

namespace vector_kl {
namespace {

template <class L>
void scaledAdd(double* v, const double* b, double d, std::ptrdiff_t count) {
    using V = typename L::Vec;
    const V step(d);
    std::ptrdiff_t p = 0;
    for (; p + L::lanes <= count; p += L::lanes) L::store(v + p, L::load(v + p) + step * L::load(b + p));
    const auto part = L::firstLanes(count - p);
    if (p < count) L::store(v + p, part, L::load(v + p, part) + step * L::load(b + p, part));
}

// Entries begin … end−1 of one line onto its sums.
template <class L>
inline void addSlopeSums(const KlSlopeLine& l, std::ptrdiff_t begin, std::ptrdiff_t end,
                         double& weighted, double& curvature) {
    using V = typename L::Vec;
    double t[L::lanes], tu[L::lanes];
    for (std::ptrdiff_t p = begin; p < end; p += L::lanes) {
        // Lanes past the end read +0.0, and their quotients are never added.
        const auto part = L::firstLanes(end - p);
        const V u = L::load(l.b + p, part) / L::load(l.v + p, part);
        const V au = L::load(l.a + p, part) * u;
        L::store(t, au);
        L::store(tu, au * u);
        const std::ptrdiff_t lanes = end - p < L::lanes ? end - p : L::lanes;
        for (std::ptrdiff_t i = 0; i < lanes; ++i) {
            weighted = weighted + t[i];
            curvature = curvature + tu[i];
        }
    }
}

template <class L>
void slopeSums(const KlSlopeLine* lines, double* sums) {
    using V = typename L::Vec;
    std::ptrdiff_t common = lines[0].count;
    for (int g = 1; g < klGroup; ++g)
        if (lines[g].count < common) common = lines[g].count;
    common -= common % L::lanes;
    double weighted[klGroup] = {}, curvature[klGroup] = {};
    double t[klGroup][L::lanes], tu[klGroup][L::lanes];
    for (std::ptrdiff_t p = 0; p < common; p += L::lanes) {
        GREEDYSWEEP_UNROLL_TILE
        for (int g = 0; g < klGroup; ++g) {
            const V u = L::load(lines[g].b + p) / L::load(lines[g].v + p);
            const V au = L::load(lines[g].a + p) * u;
            L::store(t[g], au);
            L::store(tu[g], au * u);
        }
        GREEDYSWEEP_UNROLL_TILE
        for (int i = 0; i < L::lanes; ++i)
            GREEDYSWEEP_UNROLL_TILE
            for (int g = 0; g < klGroup; ++g) {
                weighted[g] = weighted[g] + t[g][i];
                curvature[g] = curvature[g] + tu[g][i];
            }
    }
    for (int g = 0; g < klGroup; ++g) {
        addSlopeSums<L>(lines[g], common, lines[g].count, weighted[g], curvature[g]);
        sums[2 * g] = weighted[g];
        sums[2 * g + 1] = curvature[g];
    }
}

}  // namespace
}  // namespace vector_kl

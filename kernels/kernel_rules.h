#pragma once

// The per-entry rules of both kernels, written once for a double and for a
// layer's vector of doubles (V), whose operators round each operation on its
// own as the scalar ones do. Each path's source includes this (a vector
// path inside its target region), so each path compiles its own copy.

namespace {

// For doubles, the blend that each vector layer provides.
inline double select(bool condition, double ifTrue, double ifFalse) {
    return condition ? ifTrue : ifFalse;
}

// The clamp t < 0 ? 0 : t; each vector layer supplies its own, with the same
// result in every lane (a NaN or −0.0 t unchanged).
inline double atLeastZero(double t) { return t < 0.0 ? 0.0 : t; }

// Step from w to the minimiser of the one-variable problem, clamped to w + s ≥ 0.
// The strict test keeps a NaN candidate NaN.
template <class V>
inline V greedyStep(V g, V w, V d) {
    V t = w - g / d;
    t = atLeastZero(t);
    return t - w;
}

// Change of the objective for a step s, each operation rounded in this order,
// given half = d·0.5 (a path may form that product once per call).
template <class V>
inline V greedyChangeFromHalf(V g, V s, V half) {
    return g * s + (half * s) * s;
}

template <class V>
inline V greedyChange(V g, V s, V d) {
    return greedyChangeFromHalf(g, s, d * V(0.5));
}

// Predicted decrease: the change with its sign bit flipped (not 0 − change),
// so a reduction r beats b exactly when the change −r is below −b.
template <class V>
inline V greedyReduction(V g, V s, V d) {
    return -greedyChange(g, s, d);
}

// The sweep rules, applied to the freshly computed minimiser q of row j
// (d is the diagonal entry M(j,j)).
struct HardThresholdRule {
    double bound;  // 2·lambda, computed once as lambda·2.0

    explicit HardThresholdRule(double lambda) : bound(lambda * 2.0) {}

    // Equality zeroes; a NaN p keeps q.
    template <class V>
    V operator()(V q, V d) const {
        return select(V(bound) >= (q * d) * q, V(0.0), q);
    }
};

struct NonNegativeRule {
    explicit NonNegativeRule(double /*lambda*/) {}

    // −0 and NaN are stored unchanged.
    template <class V>
    V operator()(V q, V /*d*/) const {
        return atLeastZero(q);
    }
};

}  // namespace

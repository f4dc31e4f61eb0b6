#pragma once

// The per-entry rules of the forward sweep family, applied to the freshly
// computed minimiser q of row j (d is the diagonal entry M(j,j)).

struct HardThresholdRule {
    double bound;  // 2·lambda, computed once as lambda·2.0

    explicit HardThresholdRule(double lambda) : bound(lambda * 2.0) {}

    // Equality zeroes; a NaN p keeps q.
    double operator()(double q, double d) const {
        double p = (q * d) * q;
        return bound >= p ? 0.0 : q;
    }
};

struct NonNegativeRule {
    // −0 and NaN are stored unchanged.
    double operator()(double q, double /*d*/) const { return q < 0 ? 0.0 : q; }
};

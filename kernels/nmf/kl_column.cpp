#include "no_fp_contract.h"

#include "kl_column.h"

#include <limits>

#include "fixed_log.h"

namespace {

// Just above 1/√2: a fall to this fraction of an entry is always safe.
constexpr double safeFall = 0.7071067811865476;

// φ's slope in entry r with `weighted` = Σ_p a_p·b_p/v_p.
double slope(const KlShared& s, std::ptrdiff_t r, double weighted, double x) {
    return ((s.basisSum[r] - weighted) + s.l1) + s.l2 * x;
}

bool allPositive(const double* v, std::ptrdiff_t count) {
    bool positive = true;
    for (std::ptrdiff_t p = 0; p < count; ++p) positive = positive && v[p] > 0.0;
    return positive;
}

// The slope sums of entry r of each column of the group (empty lines past it).
void slopeSums(const KlShared& s, const KlColumn* group, int columns, std::ptrdiff_t r,
               double* sums) {
    KlSlopeLine lines[klGroup] = {};
    for (int g = 0; g < columns; ++g)
        lines[g] = {group[g].a, group[g].basis + r * group[g].count, group[g].v, group[g].count};
    s.loops.klSlopeSums(lines, sums);
}

// Entry r of column c from its slope sums.
void step(const KlShared& s, const KlColumn& c, std::ptrdiff_t r, const double* sums) {
    double& x = c.x[r];
    const double* b = c.basis + r * c.count;
    const double g = slope(s, r, sums[0], x);
    if (!(g != 0.0)) return;  // at the optimum, or no finite slope
    const double target = x - g / (sums[1] + s.l2);
    const double next = target > 0.0 ? target : 0.0;
    if (!(next <= std::numeric_limits<double>::max()) || next == x) return;
    s.loops.klScaledAdd(c.v, b, next - x, c.count);
    if (next < x * safeFall) {
        // The curvature grows as the entry falls, so Newton may overshoot;
        // past the optimum it may raise φ. Where the entry was all of v,
        // rounding leaves v near 0, of either sign: a negative one would
        // pass for a positive slope.
        KlColumn alone[1] = {c};
        double after[2 * klGroup];
        slopeSums(s, alone, 1, r, after);
        if (!allPositive(c.v, c.count) || !(slope(s, r, after[0], next) >= 0.0)) {
            const double bound = x * safeFall;
            s.loops.klScaledAdd(c.v, b, bound - next, c.count);
            x = bound;
            return;
        }
    }
    x = next;
}

}  // namespace

void klModel(const KlShared& s, const KlColumn& c) {
    for (std::ptrdiff_t p = 0; p < c.count; ++p) c.v[p] = 0.0;
    for (std::ptrdiff_t r = 0; r < s.k; ++r)
        s.loops.klScaledAdd(c.v, c.basis + r * c.count, c.x[r], c.count);
}

void klPasses(const KlShared& s, const KlColumn* group, int columns, int passes) {
    for (int pass = 0; pass < passes; ++pass)
        for (std::ptrdiff_t r = 0; r < s.k; ++r) {
            double sums[2 * klGroup];
            slopeSums(s, group, columns, r, sums);
            for (int g = 0; g < columns; ++g) step(s, group[g], r, sums + 2 * g);
        }
}

double klDivergencePart(const KlColumn& c) {
    double sum = 0.0;
    for (std::ptrdiff_t p = 0; p < c.count; ++p)
        sum = sum + (c.a[p] * fixedLog(c.a[p] / c.v[p]) - c.a[p]);
    return sum;
}

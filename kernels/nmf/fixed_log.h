#pragma once

// The natural logarithm from exponent bits, +, −, × and ÷ alone, in the
// order of docs/operation-order.md: the same bits on every machine, which
// the C library's log does not promise. Within two units in the last place
// of ln x.

#include <cstdint>
#include <cstring>
#include <limits>

inline double fixedLog(double x) {
    if (!(x > 0.0)) return x == 0.0 ? -std::numeric_limits<double>::infinity()
                                    : std::numeric_limits<double>::quiet_NaN();
    if (x == std::numeric_limits<double>::infinity()) return x;
    int e = 0;
    if (x < 0x1.0p-1022) {  // subnormal: bring it into the normal range
        x = x * 0x1.0p54;
        e = -54;
    }
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    e += static_cast<int>(bits >> 52) - 1023;
    // x = 2^e·f with f in [1, 2), then in [√½, √2).
    bits = (bits & 0x000FFFFFFFFFFFFFu) | 0x3FF0000000000000u;
    double f;
    std::memcpy(&f, &bits, sizeof f);
    if (f > 1.4142135623730951) {
        f = f * 0.5;
        e = e + 1;
    }
    // ln f = 2·atanh(s) = 2s + s·(2z/3 + 2z²/5 + … + 2z¹⁰/21), s = (f − 1)/(f + 1),
    // z = s², |s| ≤ 0.1716: the terms left out are below 2^-55 of 2s.
    const double s = (f - 1.0) / (f + 1.0);
    const double z = s * s;
    double r = 2.0 / 21.0;
    r = 2.0 / 19.0 + z * r;
    r = 2.0 / 17.0 + z * r;
    r = 2.0 / 15.0 + z * r;
    r = 2.0 / 13.0 + z * r;
    r = 2.0 / 11.0 + z * r;
    r = 2.0 / 9.0 + z * r;
    r = 2.0 / 7.0 + z * r;
    r = 2.0 / 5.0 + z * r;
    r = 2.0 / 3.0 + z * r;
    r = z * r;
    // ln 2 in two parts, the first with trailing zeros so that e times it is exact.
    const double ln2High = 6.93147180369123816490e-01, ln2Low = 1.90821492927058770002e-10;
    const double ed = static_cast<double>(e);
    return ed * ln2High + ((2.0 * s) + (s * r + ed * ln2Low));
}

#pragma once

// AArch64 Advanced SIMD (NEON): two doubles a vector, present on every
// AArch64 CPU. Include after <arm_neon.h>; vector/vector_kernels.h says what
// a layer supplies. The ordered compares here signal on a NaN where x86's
// quiet ones do not; no trap is enabled, so only their (equal) results count.

#include "neon_tiles.h"

namespace neon_layer {
namespace {

struct Vector {
    float64x2_t v;
    Vector() = default;
    Vector(float64x2_t x) : v(x) {}
    explicit Vector(double x) : v(vdupq_n_f64(x)) {}
};

struct Mask {
    uint64x2_t m;  // all ones where true
};

inline Vector operator+(Vector a, Vector b) { return vaddq_f64(a.v, b.v); }
inline Vector operator-(Vector a, Vector b) { return vsubq_f64(a.v, b.v); }
inline Vector operator*(Vector a, Vector b) { return vmulq_f64(a.v, b.v); }
inline Vector operator/(Vector a, Vector b) { return vdivq_f64(a.v, b.v); }
inline Vector operator-(Vector a) { return vnegq_f64(a.v); }  // flips the sign bit only

inline Mask operator<(Vector a, Vector b) { return {vcltq_f64(a.v, b.v)}; }
inline Mask operator>(Vector a, Vector b) { return {vcgtq_f64(a.v, b.v)}; }
inline Mask operator>=(Vector a, Vector b) { return {vcgeq_f64(a.v, b.v)}; }
inline Mask operator==(Vector a, Vector b) { return {vceqq_f64(a.v, b.v)}; }
inline Mask operator&(Mask a, Mask b) { return {vandq_u64(a.m, b.m)}; }
inline Mask operator|(Mask a, Mask b) { return {vorrq_u64(a.m, b.m)}; }

inline Vector select(Mask m, Vector ifTrue, Vector ifFalse) {
    return vbslq_f64(m.m, ifTrue.v, ifFalse.v);
}

// select(t < 0, 0, t) as written: vmaxq would turn NaN and −0.0 differently.
inline Vector atLeastZero(Vector t) { return select(t < Vector(0.0), Vector(0.0), t); }

// select(a < b, a, b) as written, for the same reason.
inline Vector smaller(Vector a, Vector b) { return select(a < b, a, b); }

struct Layer : NeonTiles {
    using Vec = Vector;
    // The first `count` lanes of a run (none when count ≤ 0).
    struct Part {
        std::ptrdiff_t count;
    };
    static Part firstLanes(std::ptrdiff_t count) { return {count}; }
    static Mask inPart(Part part) {
        const std::int64_t numbers[lanes] = {0, 1};
        return {vcgtq_s64(vdupq_n_s64(part.count), vld1q_s64(numbers))};
    }
    // Lanes outside the part read as +0.0 and are never written.
    static Vec load(const double* p, Part part) {
        if (part.count >= lanes) return vld1q_f64(p);
        return part.count == 1 ? vsetq_lane_f64(p[0], vdupq_n_f64(0.0), 0) : vdupq_n_f64(0.0);
    }
    static void store(double* p, Part part, Vec v) {
        if (part.count >= lanes)
            vst1q_f64(p, v.v);
        else if (part.count == 1)
            vst1q_lane_f64(p, v.v, 0);
    }
    static Vec load(const double* p) { return vld1q_f64(p); }
    static void store(double* p, Vec v) { vst1q_f64(p, v.v); }

    // A hint to bring p's cache line towards the core (none under MSVC).
    static void prefetchToL2(const double* p) {
#if defined(__GNUC__)
        __builtin_prefetch(p, 0, 2);
#else
        (void)p;
#endif
    }
    static void prefetch(const double* p) {
#if defined(__GNUC__)
        __builtin_prefetch(p);
#else
        (void)p;
#endif
    }

    static Vec laneNumbers() {
        const double numbers[lanes] = {0.0, 1.0};
        return vld1q_f64(numbers);
    }

    // Lanes hold no NaN, and no +0.0 beside a −0.0.
    static double smallestLane(Vec v) { return vminvq_f64(v.v); }

    // In place: lane b of v[a] becomes lane a of v[b].
    static void transpose(Vec* v) {
        const float64x2_t low = vzip1q_f64(v[0].v, v[1].v);
        v[1] = vzip2q_f64(v[0].v, v[1].v);
        v[0] = low;
    }
};

}  // namespace
}  // namespace neon_layer

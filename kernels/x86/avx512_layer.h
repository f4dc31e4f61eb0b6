#pragma once

// AVX-512F: eight doubles a vector, with mask registers. Include after
// avx512_intrinsics.h, inside a GREEDYSWEEP_BEGIN_TARGET("avx512f") region;
// vector/vector_kernels.h says what a layer supplies.

#include "avx512_tiles.h"

namespace avx512_layer {
namespace {

struct Vector {
    __m512d v;
    Vector() = default;
    Vector(__m512d x) : v(x) {}
    explicit Vector(double x) : v(_mm512_set1_pd(x)) {}
};

struct Mask {
    __mmask8 m;
};

inline Vector operator+(Vector a, Vector b) { return _mm512_add_pd(a.v, b.v); }
inline Vector operator-(Vector a, Vector b) { return _mm512_sub_pd(a.v, b.v); }
inline Vector operator*(Vector a, Vector b) { return _mm512_mul_pd(a.v, b.v); }
inline Vector operator/(Vector a, Vector b) { return _mm512_div_pd(a.v, b.v); }
inline Vector operator-(Vector a) {
    return _mm512_castsi512_pd(
        _mm512_xor_si512(_mm512_castpd_si512(a.v), _mm512_set1_epi64(INT64_MIN)));
}

inline Mask operator<(Vector a, Vector b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_LT_OQ)}; }
inline Mask operator>(Vector a, Vector b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GT_OQ)}; }
inline Mask operator>=(Vector a, Vector b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_GE_OQ)}; }
inline Mask operator==(Vector a, Vector b) { return {_mm512_cmp_pd_mask(a.v, b.v, _CMP_EQ_OQ)}; }
inline Mask operator&(Mask a, Mask b) { return {static_cast<__mmask8>(a.m & b.m)}; }
inline Mask operator|(Mask a, Mask b) { return {static_cast<__mmask8>(a.m | b.m)}; }

inline Vector select(Mask m, Vector ifTrue, Vector ifFalse) {
    return _mm512_mask_blend_pd(m.m, ifFalse.v, ifTrue.v);
}

// select(t < 0, 0, t): max returns its second operand unless the first is
// greater, so a NaN or −0.0 t comes back unchanged; one instruction where
// the select takes three.
inline Vector atLeastZero(Vector t) { return _mm512_max_pd(_mm512_setzero_pd(), t.v); }

// select(a < b, a, b): min returns its second operand unless the first is
// smaller, NaN and equal zeros included.
inline Vector smaller(Vector a, Vector b) { return _mm512_min_pd(a.v, b.v); }

struct Layer : Avx512Tiles {
    using Vec = Vector;

    // The first `count` lanes of a run (none when count ≤ 0).
    struct Part {
        __mmask8 valid;
    };
    static Part firstLanes(std::ptrdiff_t count) {
        if (count <= 0) return {0};
        return {count >= lanes ? static_cast<__mmask8>(0xff)
                               : static_cast<__mmask8>((1u << count) - 1)};
    }
    static Mask inPart(Part part) { return {part.valid}; }
    // Lanes outside the part read as +0.0 and are never written.
    static Vec load(const double* p, Part part) { return _mm512_maskz_loadu_pd(part.valid, p); }
    static void store(double* p, Part part, Vec v) { _mm512_mask_storeu_pd(p, part.valid, v.v); }
    static Vec load(const double* p) { return _mm512_loadu_pd(p); }
    static void store(double* p, Vec v) { _mm512_storeu_pd(p, v.v); }

    // A hint to bring p's cache line towards the core.
    static void prefetch(const double* p) {
        _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0);
    }
    // The same as far as the L2 cache, for data needed a while later.
    static void prefetchToL2(const double* p) {
        _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1);
    }

    static Vec laneNumbers() { return _mm512_set_pd(7, 6, 5, 4, 3, 2, 1, 0); }

    // Lanes hold no NaN, and no +0.0 beside a −0.0.
    static double smallestLane(Vec v) { return _mm512_reduce_min_pd(v.v); }

    // In place: lane b of v[a] becomes lane a of v[b].
    static void transpose(Vec* v) {
        __m512d t[lanes], u[lanes];
        for (int a = 0; a < lanes; a += 2) {
            t[a] = _mm512_unpacklo_pd(v[a].v, v[a + 1].v);
            t[a + 1] = _mm512_unpackhi_pd(v[a].v, v[a + 1].v);
        }
        for (int a = 0; a < lanes; a += 4) {
            u[a] = _mm512_shuffle_f64x2(t[a], t[a + 2], 0x88);
            u[a + 1] = _mm512_shuffle_f64x2(t[a + 1], t[a + 3], 0x88);
            u[a + 2] = _mm512_shuffle_f64x2(t[a], t[a + 2], 0xdd);
            u[a + 3] = _mm512_shuffle_f64x2(t[a + 1], t[a + 3], 0xdd);
        }
        for (int a = 0; a < 4; ++a) {
            v[a] = _mm512_shuffle_f64x2(u[a], u[a + 4], 0x88);
            v[a + 4] = _mm512_shuffle_f64x2(u[a], u[a + 4], 0xdd);
        }
    }
};

}  // namespace
}  // namespace avx512_layer

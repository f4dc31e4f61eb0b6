#pragma once

// AVX2: four doubles a vector. Include after <immintrin.h>, inside a
// GREEDYSWEEP_BEGIN_TARGET("avx2") region; vector/vector_kernels.h says
// what a layer supplies.

#include "avx2_tiles.h"

namespace avx2_layer {
namespace {

struct Vector {
    __m256d v;
    Vector() = default;
    Vector(__m256d x) : v(x) {}
    explicit Vector(double x) : v(_mm256_set1_pd(x)) {}
};

struct Mask {
    __m256d m;  // all ones where true
};

inline Vector operator+(Vector a, Vector b) { return _mm256_add_pd(a.v, b.v); }
inline Vector operator-(Vector a, Vector b) { return _mm256_sub_pd(a.v, b.v); }
inline Vector operator*(Vector a, Vector b) { return _mm256_mul_pd(a.v, b.v); }
inline Vector operator/(Vector a, Vector b) { return _mm256_div_pd(a.v, b.v); }
inline Vector operator-(Vector a) { return _mm256_xor_pd(a.v, _mm256_set1_pd(-0.0)); }

inline Mask operator<(Vector a, Vector b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ)}; }
inline Mask operator>(Vector a, Vector b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ)}; }
inline Mask operator>=(Vector a, Vector b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_GE_OQ)}; }
inline Mask operator==(Vector a, Vector b) { return {_mm256_cmp_pd(a.v, b.v, _CMP_EQ_OQ)}; }
inline Mask operator&(Mask a, Mask b) { return {_mm256_and_pd(a.m, b.m)}; }
inline Mask operator|(Mask a, Mask b) { return {_mm256_or_pd(a.m, b.m)}; }

inline Vector select(Mask m, Vector ifTrue, Vector ifFalse) {
    return _mm256_blendv_pd(ifFalse.v, ifTrue.v, m.m);
}

// select(t < 0, 0, t): max returns its second operand unless the first is
// greater, so a NaN or −0.0 t comes back unchanged; one instruction where
// the select takes three.
inline Vector atLeastZero(Vector t) { return _mm256_max_pd(_mm256_setzero_pd(), t.v); }

// select(a < b, a, b): min returns its second operand unless the first is
// smaller, NaN and equal zeros included.
inline Vector smaller(Vector a, Vector b) { return _mm256_min_pd(a.v, b.v); }

struct Layer : Avx2Tiles {
    using Vec = Vector;
    // The first `count` lanes of a run (none when count ≤ 0).
    struct Part {
        bool full;
        __m256i valid;
        std::ptrdiff_t count;
    };
    static Part firstLanes(std::ptrdiff_t count) {
        return {count >= lanes,
                _mm256_cmpgt_epi64(_mm256_set1_epi64x(count), _mm256_set_epi64x(3, 2, 1, 0)),
                count};
    }
    static Mask inPart(Part part) { return {_mm256_castsi256_pd(part.valid)}; }
    // Lanes outside the part read as +0.0 and are never written.
    static Vec load(const double* p, Part part) {
        return part.full ? _mm256_loadu_pd(p) : _mm256_maskload_pd(p, part.valid);
    }
    // A part is stored a lane at a time: AMD's masked store costs more than
    // three plain ones (docs/performance.md).
    static void store(double* p, Part part, Vec v) {
        if (part.full) {
            _mm256_storeu_pd(p, v.v);
            return;
        }
        const __m128d low = _mm256_castpd256_pd128(v.v);
        if (part.count >= 1) _mm_storel_pd(p, low);
        if (part.count >= 2) _mm_storeh_pd(p + 1, low);
        if (part.count >= 3) _mm_storel_pd(p + 2, _mm256_extractf128_pd(v.v, 1));
    }
    static Vec load(const double* p) { return _mm256_loadu_pd(p); }
    static void store(double* p, Vec v) { _mm256_storeu_pd(p, v.v); }

    // A hint to bring p's cache line towards the core.
    static void prefetch(const double* p) {
        _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T0);
    }
    // The same as far as the L2 cache, for data needed a while later.
    static void prefetchToL2(const double* p) {
        _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_T1);
    }

    static Vec laneNumbers() { return _mm256_set_pd(3, 2, 1, 0); }

    // Lanes hold no NaN, and no +0.0 beside a −0.0.
    static double smallestLane(Vec v) {
        __m256d m = _mm256_min_pd(v.v, _mm256_permute2f128_pd(v.v, v.v, 1));
        m = _mm256_min_pd(m, _mm256_permute_pd(m, 0x5));
        return _mm256_cvtsd_f64(m);
    }

    // In place: lane b of v[a] becomes lane a of v[b].
    static void transpose(Vec* v) {
        __m256d t0 = _mm256_unpacklo_pd(v[0].v, v[1].v);
        __m256d t1 = _mm256_unpackhi_pd(v[0].v, v[1].v);
        __m256d t2 = _mm256_unpacklo_pd(v[2].v, v[3].v);
        __m256d t3 = _mm256_unpackhi_pd(v[2].v, v[3].v);
        v[0] = _mm256_permute2f128_pd(t0, t2, 0x20);
        v[1] = _mm256_permute2f128_pd(t1, t3, 0x20);
        v[2] = _mm256_permute2f128_pd(t0, t2, 0x31);
        v[3] = _mm256_permute2f128_pd(t1, t3, 0x31);
    }
};

}  // namespace
}  // namespace avx2_layer

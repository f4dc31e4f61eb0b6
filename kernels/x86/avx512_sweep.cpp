#include "../no_fp_contract.h"

#include "../paths.h"
#include "sweep_blocking.h"

#if GREEDYSWEEP_X86_64
#include "avx512_intrinsics.h"

#include <cstddef>
#include <cstdint>

// Blocked sweep, eight rows by twenty-four columns of C at a time.
//
// For a tile of rows r0 … r0+7 the running sums over l < r0 are built in
// registers, one vector of eight rows per column, l in increasing order: each
// piece of M loaded serves twenty-four columns. Long runs of l are cut into packed
// panels of M; between panels the partial sums wait in the tile's rows of X,
// which are not final yet. The tile is then transposed so that lanes run
// across columns, and rows r0 … r0+7 are finished one after another, exactly
// as the scalar order does, divisions and rules included. Every row's sum
// starts at +0.0 and adds M(j,l)·x_l for l = 0 … j−1 in increasing order, each
// product and sum rounded separately.

namespace avx512_path {
namespace {

constexpr int kLanes = 8;
constexpr int kColumns = 3 * kLanes;
constexpr std::ptrdiff_t kPanelDepth = 256;

struct HardThreshold {
    double bound;  // 2·lambda
    // Equality zeroes; a NaN p keeps q.
    GREEDYSWEEP_TARGET_AVX512 __m512d operator()(__m512d q, __m512d d) const {
        __m512d p = _mm512_mul_pd(_mm512_mul_pd(q, d), q);
        __mmask8 zeroed = _mm512_cmp_pd_mask(_mm512_set1_pd(bound), p, _CMP_GE_OQ);
        return _mm512_mask_blend_pd(zeroed, q, _mm512_setzero_pd());
    }
};

struct NonNegative {
    // −0 and NaN are kept.
    GREEDYSWEEP_TARGET_AVX512 __m512d operator()(__m512d q, __m512d) const {
        __mmask8 negative = _mm512_cmp_pd_mask(q, _mm512_setzero_pd(), _CMP_LT_OQ);
        return _mm512_mask_blend_pd(negative, q, _mm512_setzero_pd());
    }
};

// −v as a sign flip, so −(+0) is −0.
GREEDYSWEEP_TARGET_AVX512 inline __m512d negate(__m512d v) {
    return _mm512_castsi512_pd(
        _mm512_xor_si512(_mm512_castpd_si512(v), _mm512_set1_epi64(INT64_MIN)));
}

// In place: v[a] lane b becomes v[b] lane a.
GREEDYSWEEP_TARGET_AVX512 inline void transpose(__m512d* v) {
    __m512d t[kLanes], u[kLanes];
    for (int a = 0; a < kLanes; a += 2) {
        t[a] = _mm512_unpacklo_pd(v[a], v[a + 1]);
        t[a + 1] = _mm512_unpackhi_pd(v[a], v[a + 1]);
    }
    for (int a = 0; a < kLanes; a += 4) {
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

// Finishes rows r0 … r0+height−1 of the group's columns. sums[b] holds,
// for column b, the running sums of those rows over l < r0. Each block of
// eight columns is transposed so that lanes run across columns; the
// blocks go through the rows in lockstep, so their chains of divisions overlap.
template <class Rule>
GREEDYSWEEP_TARGET_AVX512 inline void finishDiagonalTile(
    __m512d* sums, const double* const* c, double* const* x, const double* M,
    std::ptrdiff_t rows, std::ptrdiff_t r0, std::ptrdiff_t height, __mmask8 valid, Rule rule) {
    __m512d linear[kColumns], result[kColumns];
    for (int b = 0; b < kColumns; ++b) linear[b] = _mm512_maskz_loadu_pd(valid, c[b] + r0);
    for (int block = 0; block < kColumns; block += kLanes) {
        transpose(sums + block);
        transpose(linear + block);
    }
    // Now sums[block + a] and linear[block + a] hold row r0+a of that block's columns.
    for (std::ptrdiff_t a = 0; a < height; ++a) {
        const double* column = M + (r0 + a) * rows;
        const __m512d d = _mm512_set1_pd(column[r0 + a]);
        for (int block = 0; block < kColumns; block += kLanes) {
            __m512d sum = _mm512_add_pd(sums[block + a], linear[block + a]);
            result[block + a] = rule(negate(_mm512_div_pd(sum, d)), d);
        }
        for (std::ptrdiff_t below = a + 1; below < height; ++below) {
            const __m512d coupling = _mm512_set1_pd(column[r0 + below]);
            for (int block = 0; block < kColumns; block += kLanes)
                sums[block + below] = _mm512_add_pd(
                    sums[block + below], _mm512_mul_pd(coupling, result[block + a]));
        }
    }
    for (int block = 0; block < kColumns; block += kLanes) {
        for (std::ptrdiff_t a = height; a < kLanes; ++a) result[block + a] = _mm512_setzero_pd();
        transpose(result + block);
    }
    for (int b = 0; b < kColumns; ++b) _mm512_mask_storeu_pd(x[b] + r0, valid, result[b]);
}

// Adds Σ_{l0≤l<l1} M(r0…r0+7, l)·x_b(l) onto sums[b], l in increasing order.
// panel holds M(r0…r0+7, l0…l1−1), eight doubles per l. The tile is a local
// array that never escapes, so it stays in registers.
GREEDYSWEEP_TARGET_AVX512 inline void addRunningSums(__m512d* sums, double* const* x,
                                                     const double* panel, std::ptrdiff_t l0,
                                                     std::ptrdiff_t l1) {
    __m512d tile[kColumns];
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < kColumns; ++b) tile[b] = sums[b];
    for (std::ptrdiff_t l = l0; l < l1; ++l) {
        __m512d coupling = _mm512_load_pd(panel + (l - l0) * kLanes);
        GREEDYSWEEP_UNROLL_TILE
        for (int b = 0; b < kColumns; ++b)
            tile[b] = _mm512_add_pd(tile[b], _mm512_mul_pd(coupling, _mm512_set1_pd(x[b][l])));
    }
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < kColumns; ++b) sums[b] = tile[b];
}

template <class Rule>
GREEDYSWEEP_TARGET_AVX512 void sweep(double* X, const double* M, const double* C, Rule rule,
                                     std::int32_t n, std::int32_t m) {
    const std::ptrdiff_t rows = n;
    const std::ptrdiff_t chunkColumns = sweepChunkColumns(rows, kColumns);
    // Rows r0 … r0+7 of M for a run of l, packed contiguously: strided
    // columns of M (a power-of-two n especially) would fight over cache sets.
    alignas(64) double panel[kPanelDepth * kLanes];
    for (std::ptrdiff_t chunk = 0; chunk < m; chunk += chunkColumns) {
        const std::ptrdiff_t chunkEnd = chunk + chunkColumns < m ? chunk + chunkColumns : m;
        for (std::ptrdiff_t r0 = 0; r0 < rows; r0 += kLanes) {
            const std::ptrdiff_t height = rows - r0 < kLanes ? rows - r0 : kLanes;
            const __mmask8 valid = static_cast<__mmask8>((1u << height) - 1);
            // l = 0 … r0−1 in runs of kPanelDepth; between runs, the partial
            // sums wait in rows r0 … of X, which are not final yet.
            std::ptrdiff_t l0 = 0;
            do {
                const std::ptrdiff_t l1 = r0 - l0 < kPanelDepth ? r0 : l0 + kPanelDepth;
                for (std::ptrdiff_t l = l0; l < l1; ++l)
                    _mm512_store_pd(panel + (l - l0) * kLanes,
                                    _mm512_maskz_loadu_pd(valid, M + r0 + l * rows));
                for (std::ptrdiff_t i0 = chunk; i0 < chunkEnd; i0 += kColumns) {
                    // Past the chunk's last column, slots repeat it: they compute
                    // and store the very same values, which keeps one tile shape.
                    const double* c[kColumns];
                    double* x[kColumns];
                    for (std::ptrdiff_t b = 0; b < kColumns; ++b) {
                        std::ptrdiff_t column = i0 + b < chunkEnd ? i0 + b : chunkEnd - 1;
                        c[b] = C + column * rows;
                        x[b] = X + column * rows;
                    }
                    __m512d sums[kColumns];
                    for (int b = 0; b < kColumns; ++b)
                        sums[b] = l0 == 0 ? _mm512_setzero_pd()
                                          : _mm512_maskz_loadu_pd(valid, x[b] + r0);
                    addRunningSums(sums, x, panel, l0, l1);
                    if (l1 == r0) {
                        finishDiagonalTile(sums, c, x, M, rows, r0, height, valid, rule);
                    } else {
                        for (int b = 0; b < kColumns; ++b)
                            _mm512_mask_storeu_pd(x[b] + r0, valid, sums[b]);
                    }
                }
                l0 = l1;
            } while (l0 < r0);
        }
    }
}

}  // namespace

void hardThresholdSweep(double* X, const double* M, const double* C, double lambda,
                        std::int32_t n, std::int32_t m) {
    sweep(X, M, C, HardThreshold{lambda * 2.0}, n, m);
}

void nonNegativeSweep(double* X, const double* M, const double* C, std::int32_t n,
                      std::int32_t m) {
    sweep(X, M, C, NonNegative{}, n, m);
}

}  // namespace avx512_path

#endif

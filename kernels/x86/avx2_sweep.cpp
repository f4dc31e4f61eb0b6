#include "../no_fp_contract.h"

#include "../paths.h"
#include "sweep_blocking.h"

#if GREEDYSWEEP_X86_64
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

// Blocked sweep, four rows by twelve columns of C at a time.
//
// For a tile of rows r0 … r0+3 the running sums over l < r0 are built in
// registers, one vector of four rows per column, l in increasing order: each
// piece of M loaded serves twelve columns. Long runs of l are cut into packed
// panels of M; between panels the partial sums wait in the tile's rows of X,
// which are not final yet. The tile is then transposed so that lanes run
// across columns, and rows r0 … r0+3 are finished one after another, exactly
// as the scalar order does, divisions and rules included. Every row's sum
// starts at +0.0 and adds M(j,l)·x_l for l = 0 … j−1 in increasing order, each
// product and sum rounded separately.

namespace avx2_path {
namespace {

constexpr int kLanes = 4;
constexpr int kColumns = 3 * kLanes;
constexpr std::ptrdiff_t kPanelDepth = 256;

struct HardThreshold {
    double bound;  // 2·lambda
    // Equality zeroes; a NaN p keeps q.
    GREEDYSWEEP_TARGET_AVX2 __m256d operator()(__m256d q, __m256d d) const {
        __m256d p = _mm256_mul_pd(_mm256_mul_pd(q, d), q);
        __m256d zeroed = _mm256_cmp_pd(_mm256_set1_pd(bound), p, _CMP_GE_OQ);
        return _mm256_blendv_pd(q, _mm256_setzero_pd(), zeroed);
    }
};

struct NonNegative {
    // −0 and NaN are kept.
    GREEDYSWEEP_TARGET_AVX2 __m256d operator()(__m256d q, __m256d) const {
        __m256d negative = _mm256_cmp_pd(q, _mm256_setzero_pd(), _CMP_LT_OQ);
        return _mm256_blendv_pd(q, _mm256_setzero_pd(), negative);
    }
};

// −v as a sign flip, so −(+0) is −0.
GREEDYSWEEP_TARGET_AVX2 inline __m256d negate(__m256d v) {
    return _mm256_xor_pd(v, _mm256_set1_pd(-0.0));
}

// Lanes 0 … count−1 set.
GREEDYSWEEP_TARGET_AVX2 inline __m256i firstLanes(std::ptrdiff_t count) {
    return _mm256_cmpgt_epi64(_mm256_set1_epi64x(count), _mm256_set_epi64x(3, 2, 1, 0));
}

GREEDYSWEEP_TARGET_AVX2 inline __m256d loadRows(const double* p, std::ptrdiff_t height,
                                                __m256i valid) {
    return height == kLanes ? _mm256_loadu_pd(p) : _mm256_maskload_pd(p, valid);
}

GREEDYSWEEP_TARGET_AVX2 inline void storeRows(double* p, std::ptrdiff_t height, __m256i valid,
                                               __m256d v) {
    if (height == kLanes)
        _mm256_storeu_pd(p, v);
    else
        _mm256_maskstore_pd(p, valid, v);
}

// In place: v[a] lane b becomes v[b] lane a.
GREEDYSWEEP_TARGET_AVX2 inline void transpose(__m256d* v) {
    __m256d t0 = _mm256_unpacklo_pd(v[0], v[1]);
    __m256d t1 = _mm256_unpackhi_pd(v[0], v[1]);
    __m256d t2 = _mm256_unpacklo_pd(v[2], v[3]);
    __m256d t3 = _mm256_unpackhi_pd(v[2], v[3]);
    v[0] = _mm256_permute2f128_pd(t0, t2, 0x20);
    v[1] = _mm256_permute2f128_pd(t1, t3, 0x20);
    v[2] = _mm256_permute2f128_pd(t0, t2, 0x31);
    v[3] = _mm256_permute2f128_pd(t1, t3, 0x31);
}

// Finishes rows r0 … r0+height−1 of the group's columns. sums[b] holds,
// for column b, the running sums of those rows over l < r0. Each block of
// four columns is transposed so that lanes run across columns; the
// blocks go through the rows in lockstep, so their chains of divisions overlap.
template <class Rule>
GREEDYSWEEP_TARGET_AVX2 inline void finishDiagonalTile(
    __m256d* sums, const double* const* c, double* const* x, const double* M,
    std::ptrdiff_t rows, std::ptrdiff_t r0, std::ptrdiff_t height, __m256i valid, Rule rule) {
    __m256d linear[kColumns], result[kColumns];
    for (int b = 0; b < kColumns; ++b) linear[b] = loadRows(c[b] + r0, height, valid);
    for (int block = 0; block < kColumns; block += kLanes) {
        transpose(sums + block);
        transpose(linear + block);
    }
    // Now sums[block + a] and linear[block + a] hold row r0+a of that block's columns.
    for (std::ptrdiff_t a = 0; a < height; ++a) {
        const double* column = M + (r0 + a) * rows;
        const __m256d d = _mm256_set1_pd(column[r0 + a]);
        for (int block = 0; block < kColumns; block += kLanes) {
            __m256d sum = _mm256_add_pd(sums[block + a], linear[block + a]);
            result[block + a] = rule(negate(_mm256_div_pd(sum, d)), d);
        }
        for (std::ptrdiff_t below = a + 1; below < height; ++below) {
            const __m256d coupling = _mm256_set1_pd(column[r0 + below]);
            for (int block = 0; block < kColumns; block += kLanes)
                sums[block + below] = _mm256_add_pd(
                    sums[block + below], _mm256_mul_pd(coupling, result[block + a]));
        }
    }
    for (int block = 0; block < kColumns; block += kLanes) {
        for (std::ptrdiff_t a = height; a < kLanes; ++a) result[block + a] = _mm256_setzero_pd();
        transpose(result + block);
    }
    for (int b = 0; b < kColumns; ++b) storeRows(x[b] + r0, height, valid, result[b]);
}

// Adds Σ_{l0≤l<l1} M(r0…r0+3, l)·x_b(l) onto sums[b], l in increasing order.
// panel holds M(r0…r0+3, l0…l1−1), four doubles per l. The tile is a local
// array that never escapes, so it stays in registers.
GREEDYSWEEP_TARGET_AVX2 inline void addRunningSums(__m256d* sums, double* const* x,
                                                   const double* panel, std::ptrdiff_t l0,
                                                   std::ptrdiff_t l1) {
    __m256d tile[kColumns];
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < kColumns; ++b) tile[b] = sums[b];
    for (std::ptrdiff_t l = l0; l < l1; ++l) {
        __m256d coupling = _mm256_load_pd(panel + (l - l0) * kLanes);
        GREEDYSWEEP_UNROLL_TILE
        for (int b = 0; b < kColumns; ++b)
            tile[b] = _mm256_add_pd(tile[b], _mm256_mul_pd(coupling, _mm256_set1_pd(x[b][l])));
    }
    GREEDYSWEEP_UNROLL_TILE
    for (int b = 0; b < kColumns; ++b) sums[b] = tile[b];
}

template <class Rule>
GREEDYSWEEP_TARGET_AVX2 void sweep(double* X, const double* M, const double* C, Rule rule,
                                   std::int32_t n, std::int32_t m) {
    const std::ptrdiff_t rows = n;
    const std::ptrdiff_t chunkColumns = sweepChunkColumns(rows, kColumns);
    // Rows r0 … r0+3 of M for a run of l, packed contiguously: strided
    // columns of M (a power-of-two n especially) would fight over cache sets.
    alignas(32) double panel[kPanelDepth * kLanes];
    for (std::ptrdiff_t chunk = 0; chunk < m; chunk += chunkColumns) {
        const std::ptrdiff_t chunkEnd = chunk + chunkColumns < m ? chunk + chunkColumns : m;
        for (std::ptrdiff_t r0 = 0; r0 < rows; r0 += kLanes) {
            const std::ptrdiff_t height = rows - r0 < kLanes ? rows - r0 : kLanes;
            const __m256i valid = firstLanes(height);
            // l = 0 … r0−1 in runs of kPanelDepth; between runs, the partial
            // sums wait in rows r0 … of X, which are not final yet.
            std::ptrdiff_t l0 = 0;
            do {
                const std::ptrdiff_t l1 = r0 - l0 < kPanelDepth ? r0 : l0 + kPanelDepth;
                for (std::ptrdiff_t l = l0; l < l1; ++l)
                    _mm256_store_pd(panel + (l - l0) * kLanes,
                                    loadRows(M + r0 + l * rows, height, valid));
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
                    __m256d sums[kColumns];
                    for (int b = 0; b < kColumns; ++b)
                        sums[b] = l0 == 0 ? _mm256_setzero_pd()
                                          : loadRows(x[b] + r0, height, valid);
                    addRunningSums(sums, x, panel, l0, l1);
                    if (l1 == r0) {
                        finishDiagonalTile(sums, c, x, M, rows, r0, height, valid, rule);
                    } else {
                        for (int b = 0; b < kColumns; ++b)
                            storeRows(x[b] + r0, height, valid, sums[b]);
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

}  // namespace avx2_path

#endif

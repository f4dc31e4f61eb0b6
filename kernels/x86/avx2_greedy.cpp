#include "../no_fp_contract.h"

#include "../paths.h"

#if GREEDYSWEEP_X86_64
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "greedy_schedule.h"

// Greedy update, four rows at a time. A move's gradient update and the scan
// for the next move share one pass over the column. The argmax keeps, per
// lane, the largest reduction and its lowest row; lanes are merged at the end
// with ties going to the lower row, which is the scan's order-of-rows result.
// The chosen row's step is recomputed from the same operands rather than kept
// for every row, so these paths leave the step scratch vector unused.

namespace avx2_path {
namespace {

constexpr std::int32_t kLanes = 4;

using greedy_schedule::Move;

// The rows i … i+3 that exist; a full chunk uses plain loads and stores.
struct Chunk {
    bool full;
    __m256i valid;

    GREEDYSWEEP_TARGET_AVX2 Chunk(std::ptrdiff_t remaining)
        : full(remaining >= kLanes),
          valid(_mm256_cmpgt_epi64(_mm256_set1_epi64x(remaining), _mm256_set_epi64x(3, 2, 1, 0))) {}

    GREEDYSWEEP_TARGET_AVX2 __m256d load(const double* p) const {
        return full ? _mm256_loadu_pd(p) : _mm256_maskload_pd(p, valid);
    }
    GREEDYSWEEP_TARGET_AVX2 void store(double* p, __m256d v) const {
        if (full)
            _mm256_storeu_pd(p, v);
        else
            _mm256_maskstore_pd(p, valid, v);
    }
    GREEDYSWEEP_TARGET_AVX2 __m256d mask() const { return _mm256_castsi256_pd(valid); }
};

// −v as a sign flip, so −(+0) is −0.
GREEDYSWEEP_TARGET_AVX2 inline __m256d negate(__m256d v) {
    return _mm256_xor_pd(v, _mm256_set1_pd(-0.0));
}

// t = w − g/d, clamped by a strict test so a NaN stays NaN; s = t − w.
GREEDYSWEEP_TARGET_AVX2 inline __m256d stepOf(__m256d g, __m256d w, __m256d d) {
    __m256d t = _mm256_sub_pd(w, _mm256_div_pd(g, d));
    __m256d negative = _mm256_cmp_pd(t, _mm256_setzero_pd(), _CMP_LT_OQ);
    t = _mm256_blendv_pd(t, _mm256_setzero_pd(), negative);
    return _mm256_sub_pd(t, w);
}

// g·s + ((d·0.5)·s)·s, the change of the objective; the reduction is its
// sign flip, so a reduction r beats b exactly when the change −r is below −b.
GREEDYSWEEP_TARGET_AVX2 inline __m256d changeOf(__m256d g, __m256d s, __m256d d) {
    __m256d halfD = _mm256_mul_pd(d, _mm256_set1_pd(0.5));
    __m256d curvature = _mm256_mul_pd(_mm256_mul_pd(halfD, s), s);
    return _mm256_add_pd(_mm256_mul_pd(g, s), curvature);
}

GREEDYSWEEP_TARGET_AVX2 inline __m256d reductionOf(__m256d g, __m256d s, __m256d d) {
    return negate(changeOf(g, s, d));
}

// Per lane, the most negative change seen (the largest reduction, sign
// flipped) and the lowest row that has it.
struct LaneBest {
    __m256d change;
    __m256d row;  // row numbers as doubles, exact far beyond any k
};

// −0.0: the flip of the scan's starting reduction +0.0.
GREEDYSWEEP_TARGET_AVX2 inline LaneBest noMove() {
    return {_mm256_set1_pd(-0.0), _mm256_set1_pd(-1.0)};
}

// Scores the four rows from i on (fewer at the end of the column) into lanes.
GREEDYSWEEP_TARGET_AVX2 inline void scanChunk(const GreedyProblem& p, double* g, const double* w,
                                              const double* hessianColumn, __m256d moved,
                                              std::ptrdiff_t i, __m256d row, LaneBest& lanes) {
    const Chunk chunk(p.k - i);
    __m256d gi = chunk.load(g + i);
    if (hessianColumn) {
        gi = _mm256_add_pd(_mm256_mul_pd(moved, chunk.load(hessianColumn + i)), gi);
        chunk.store(g + i, gi);
    }
    __m256d d = chunk.load(p.diag + i);
    __m256d si = stepOf(gi, chunk.load(w + i), d);
    __m256d change = changeOf(gi, si, d);
    __m256d better =
        _mm256_and_pd(_mm256_cmp_pd(change, lanes.change, _CMP_LT_OQ), chunk.mask());
    lanes.change = _mm256_blendv_pd(lanes.change, change, better);
    lanes.row = _mm256_blendv_pd(lanes.row, row, better);
}

GREEDYSWEEP_TARGET_AVX2 inline double smallestLane(__m256d v) {
    v = _mm256_min_pd(v, _mm256_permute2f128_pd(v, v, 1));
    v = _mm256_min_pd(v, _mm256_permute_pd(v, 0x5));
    return _mm256_cvtsd_f64(v);
}

// The best of all lanes: the most negative change, ties to the lowest row. No
// lane holds a NaN, and a lane without a move holds −0.0 and row −1.
GREEDYSWEEP_TARGET_AVX2 inline Move mergeLanes(LaneBest a, LaneBest b) {
    __m256d fromB = _mm256_or_pd(
        _mm256_cmp_pd(b.change, a.change, _CMP_LT_OQ),
        _mm256_and_pd(_mm256_cmp_pd(b.change, a.change, _CMP_EQ_OQ),
                      _mm256_cmp_pd(b.row, a.row, _CMP_LT_OQ)));
    __m256d change = _mm256_blendv_pd(a.change, b.change, fromB);
    __m256d row = _mm256_blendv_pd(a.row, b.row, fromB);
    const double smallest = smallestLane(change);
    __m256d holders = _mm256_cmp_pd(change, _mm256_set1_pd(smallest), _CMP_EQ_OQ);
    const double lowestRow = smallestLane(_mm256_blendv_pd(_mm256_set1_pd(1e300), row, holders));
    return {static_cast<std::int32_t>(lowestRow), -smallest};
}

// Scans column g, w for the best move. With a hessianColumn, first applies
// the previous move's gradient update g += s·hessianColumn in the same pass.
// Two sets of lanes take alternate chunks, which halves the chain of
// compares that runs through them.
GREEDYSWEEP_TARGET_AVX2 Move scan(const GreedyProblem& p, double* g, const double* w,
                                  const double* hessianColumn, double s) {
    LaneBest even = noMove(), odd = noMove();
    const __m256d moved = _mm256_set1_pd(s);
    __m256d row = _mm256_set_pd(3, 2, 1, 0);
    const __m256d four = _mm256_set1_pd(kLanes);
    for (std::ptrdiff_t i = 0; i < p.k; i += 2 * kLanes) {
        scanChunk(p, g, w, hessianColumn, moved, i, row, even);
        row = _mm256_add_pd(row, four);
        scanChunk(p, g, w, hessianColumn, moved, i + kLanes, row, odd);
        row = _mm256_add_pd(row, four);
    }
    return mergeLanes(even, odd);
}

GREEDYSWEEP_TARGET_AVX2 void addMove(const GreedyProblem& p, double* g,
                                     const double* hessianColumn, double s) {
    const __m256d moved = _mm256_set1_pd(s);
    for (std::ptrdiff_t i = 0; i < p.k; i += kLanes) {
        const Chunk chunk(p.k - i);
        chunk.store(g + i, _mm256_add_pd(_mm256_mul_pd(moved, chunk.load(hessianColumn + i)),
                                         chunk.load(g + i)));
    }
}

}  // namespace

// Largest reduction anywhere in W at entry: a max of non-negative, non-NaN
// values, so the lanes may be merged in any order.
GREEDYSWEEP_TARGET_AVX2 double initialReduction(const GreedyProblem& p) {
    __m256d init = _mm256_setzero_pd();
    for (std::ptrdiff_t j = 0; j < p.n; ++j) {
        const double* g = p.GW + p.columnStart(j);
        const double* w = p.W + p.columnStart(j);
        for (std::ptrdiff_t i = 0; i < p.k; i += kLanes) {
            const Chunk chunk(p.k - i);
            __m256d gi = chunk.load(g + i);
            __m256d d = chunk.load(p.diag + i);
            __m256d r = reductionOf(gi, stepOf(gi, chunk.load(w + i), d), d);
            __m256d larger = _mm256_and_pd(_mm256_cmp_pd(r, init, _CMP_GT_OQ), chunk.mask());
            init = _mm256_blendv_pd(init, r, larger);
        }
    }
    alignas(32) double lanes[kLanes];
    _mm256_store_pd(lanes, init);
    double largest = 0.0;
    for (double v : lanes)
        if (v > largest) largest = v;
    return largest;
}

// The shared schedule, compiled for this instruction set with the scans
// inline in it.
GREEDYSWEEP_TARGET_AVX2 GREEDYSWEEP_FLATTEN void greedyColumns(const GreedyProblem& p, double threshold) {
    greedy_schedule::runColumns<scan, addMove>(p, threshold);
}

}  // namespace avx2_path

#endif

#include "../no_fp_contract.h"

#include "../paths.h"

#if GREEDYSWEEP_X86_64
#include "avx512_intrinsics.h"

#include <cstddef>
#include <cstdint>

#include "greedy_schedule.h"

// Greedy update, eight rows at a time. A move's gradient update and the scan
// for the next move share one pass over the column. The argmax keeps, per
// lane, the largest reduction and its lowest row; lanes are merged at the end
// with ties going to the lower row, which is the scan's order-of-rows result.
// The chosen row's step is recomputed from the same operands rather than kept
// for every row, so these paths leave the step scratch vector unused.

namespace avx512_path {
namespace {

constexpr std::int32_t kLanes = 8;

using greedy_schedule::Move;

// Lanes 0 … count−1 set; none when count ≤ 0.
GREEDYSWEEP_TARGET_AVX512 inline __mmask8 firstLanes(std::ptrdiff_t count) {
    if (count <= 0) return 0;
    return count >= kLanes ? static_cast<__mmask8>(0xff)
                           : static_cast<__mmask8>((1u << count) - 1);
}

// −v as a sign flip, so −(+0) is −0.
GREEDYSWEEP_TARGET_AVX512 inline __m512d negate(__m512d v) {
    return _mm512_castsi512_pd(
        _mm512_xor_si512(_mm512_castpd_si512(v), _mm512_set1_epi64(INT64_MIN)));
}

// t = w − g/d, clamped by a strict test so a NaN stays NaN; s = t − w.
GREEDYSWEEP_TARGET_AVX512 inline __m512d stepOf(__m512d g, __m512d w, __m512d d) {
    __m512d t = _mm512_sub_pd(w, _mm512_div_pd(g, d));
    __mmask8 negative = _mm512_cmp_pd_mask(t, _mm512_setzero_pd(), _CMP_LT_OQ);
    t = _mm512_mask_blend_pd(negative, t, _mm512_setzero_pd());
    return _mm512_sub_pd(t, w);
}

// g·s + ((d·0.5)·s)·s, the change of the objective; the reduction is its
// sign flip, so a reduction r beats b exactly when the change −r is below −b.
GREEDYSWEEP_TARGET_AVX512 inline __m512d changeOf(__m512d g, __m512d s, __m512d d) {
    __m512d halfD = _mm512_mul_pd(d, _mm512_set1_pd(0.5));
    __m512d curvature = _mm512_mul_pd(_mm512_mul_pd(halfD, s), s);
    return _mm512_add_pd(_mm512_mul_pd(g, s), curvature);
}

GREEDYSWEEP_TARGET_AVX512 inline __m512d reductionOf(__m512d g, __m512d s, __m512d d) {
    return negate(changeOf(g, s, d));
}

// Per lane, the most negative change seen (the largest reduction, sign
// flipped) and the lowest row that has it.
struct LaneBest {
    __m512d change;
    __m512d row;  // row numbers as doubles, exact far beyond any k
};

// −0.0: the flip of the scan's starting reduction +0.0.
GREEDYSWEEP_TARGET_AVX512 inline LaneBest noMove() {
    return {_mm512_set1_pd(-0.0), _mm512_set1_pd(-1.0)};
}

// Scores the eight rows from i on (fewer at the end of the column) into lanes.
GREEDYSWEEP_TARGET_AVX512 inline void scanChunk(const GreedyProblem& p, double* g, const double* w,
                                                const double* hessianColumn, __m512d moved,
                                                std::ptrdiff_t i, __m512d row, LaneBest& lanes) {
    const __mmask8 valid = firstLanes(p.k - i);
    __m512d gi = _mm512_maskz_loadu_pd(valid, g + i);
    if (hessianColumn) {
        __m512d h = _mm512_maskz_loadu_pd(valid, hessianColumn + i);
        gi = _mm512_add_pd(_mm512_mul_pd(moved, h), gi);
        _mm512_mask_storeu_pd(g + i, valid, gi);
    }
    __m512d d = _mm512_maskz_loadu_pd(valid, p.diag + i);
    __m512d si = stepOf(gi, _mm512_maskz_loadu_pd(valid, w + i), d);
    __m512d change = changeOf(gi, si, d);
    __mmask8 better = _mm512_mask_cmp_pd_mask(valid, change, lanes.change, _CMP_LT_OQ);
    lanes.change = _mm512_mask_blend_pd(better, lanes.change, change);
    lanes.row = _mm512_mask_blend_pd(better, lanes.row, row);
}

// The best of all lanes: the most negative change, ties to the lowest row. No
// lane holds a NaN, and a lane without a move holds −0.0 and row −1.
GREEDYSWEEP_TARGET_AVX512 inline Move mergeLanes(LaneBest a, LaneBest b) {
    __mmask8 fromB = _mm512_cmp_pd_mask(b.change, a.change, _CMP_LT_OQ) |
                     (_mm512_cmp_pd_mask(b.change, a.change, _CMP_EQ_OQ) &
                      _mm512_cmp_pd_mask(b.row, a.row, _CMP_LT_OQ));
    __m512d change = _mm512_mask_blend_pd(fromB, a.change, b.change);
    __m512d row = _mm512_mask_blend_pd(fromB, a.row, b.row);
    const double smallest = _mm512_reduce_min_pd(change);
    __mmask8 holders = _mm512_cmp_pd_mask(change, _mm512_set1_pd(smallest), _CMP_EQ_OQ);
    const double lowestRow =
        _mm512_reduce_min_pd(_mm512_mask_blend_pd(holders, _mm512_set1_pd(1e300), row));
    return {static_cast<std::int32_t>(lowestRow), -smallest};
}

// Scans column g, w for the best move. With a hessianColumn, first applies
// the previous move's gradient update g += s·hessianColumn in the same pass.
// Two sets of lanes take alternate chunks, which halves the chain of
// compares that runs through them.
GREEDYSWEEP_TARGET_AVX512 Move scan(const GreedyProblem& p, double* g, const double* w,
                                    const double* hessianColumn, double s) {
    LaneBest even = noMove(), odd = noMove();
    const __m512d moved = _mm512_set1_pd(s);
    __m512d row = _mm512_set_pd(7, 6, 5, 4, 3, 2, 1, 0);
    const __m512d eight = _mm512_set1_pd(kLanes);
    for (std::ptrdiff_t i = 0; i < p.k; i += 2 * kLanes) {
        scanChunk(p, g, w, hessianColumn, moved, i, row, even);
        row = _mm512_add_pd(row, eight);
        scanChunk(p, g, w, hessianColumn, moved, i + kLanes, row, odd);
        row = _mm512_add_pd(row, eight);
    }
    return mergeLanes(even, odd);
}

GREEDYSWEEP_TARGET_AVX512 void addMove(const GreedyProblem& p, double* g,
                                       const double* hessianColumn, double s) {
    const __m512d moved = _mm512_set1_pd(s);
    for (std::ptrdiff_t i = 0; i < p.k; i += kLanes) {
        const __mmask8 valid = firstLanes(p.k - i);
        __m512d gi = _mm512_add_pd(
            _mm512_mul_pd(moved, _mm512_maskz_loadu_pd(valid, hessianColumn + i)),
            _mm512_maskz_loadu_pd(valid, g + i));
        _mm512_mask_storeu_pd(g + i, valid, gi);
    }
}

}  // namespace

// Largest reduction anywhere in W at entry: a max of non-negative, non-NaN
// values, so the lanes may be merged in any order.
GREEDYSWEEP_TARGET_AVX512 double initialReduction(const GreedyProblem& p) {
    __m512d init = _mm512_setzero_pd();
    for (std::ptrdiff_t j = 0; j < p.n; ++j) {
        const double* g = p.GW + p.columnStart(j);
        const double* w = p.W + p.columnStart(j);
        for (std::ptrdiff_t i = 0; i < p.k; i += kLanes) {
            const __mmask8 valid = firstLanes(p.k - i);
            __m512d gi = _mm512_maskz_loadu_pd(valid, g + i);
            __m512d d = _mm512_maskz_loadu_pd(valid, p.diag + i);
            __m512d wi = _mm512_maskz_loadu_pd(valid, w + i);
            __m512d r = reductionOf(gi, stepOf(gi, wi, d), d);
            __mmask8 larger = _mm512_mask_cmp_pd_mask(valid, r, init, _CMP_GT_OQ);
            init = _mm512_mask_blend_pd(larger, init, r);
        }
    }
    alignas(64) double lanes[kLanes];
    _mm512_store_pd(lanes, init);
    double largest = 0.0;
    for (double v : lanes)
        if (v > largest) largest = v;
    return largest;
}

// The shared schedule, compiled for this instruction set with the scans
// inline in it.
GREEDYSWEEP_TARGET_AVX512 GREEDYSWEEP_FLATTEN void greedyColumns(const GreedyProblem& p, double threshold) {
    greedy_schedule::runColumns<scan, addMove>(p, threshold);
}

}  // namespace avx512_path

#endif

#include "../no_fp_contract.h"

#include "../paths.h"
#include "../reduction_bound.h"

#if GREEDYSWEEP_X86_64
#include "avx512_intrinsics.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

// Greedy update, eight rows at a time. A move's gradient update and the scan
// for the next move share one pass over the column. The argmax keeps, per
// lane, the largest reduction and its lowest row; lanes are merged at the end
// with ties going to the lower row, which is the scan's order-of-rows result.
// The chosen row's step is recomputed from the same operands rather than kept.
// Where reduction_bound.h applies, the pass bounds each row's reduction
// instead of dividing, and only rows that might win are scored exactly.

namespace avx512_path {
namespace {

constexpr std::int32_t kLanes = 8;

struct Move {
    std::int32_t row;  // −1: no entry can lower the objective
    double reduction;
};

// Lanes 0 … count−1 set; none when count ≤ 0.
GREEDYSWEEP_TARGET_AVX512 inline __mmask8 firstLanes(std::int32_t count) {
    if (count <= 0) return 0;
    return count >= kLanes ? static_cast<__mmask8>(0xff)
                           : static_cast<__mmask8>((1u << count) - 1);
}

// A whole chunk takes plain loads and stores: the CPU forwards a plain store
// to a later load of the same lanes, but not a masked one.
GREEDYSWEEP_TARGET_AVX512 inline __m512d loadLanes(__mmask8 valid, const double* from) {
    return valid == 0xff ? _mm512_loadu_pd(from) : _mm512_maskz_loadu_pd(valid, from);
}

GREEDYSWEEP_TARGET_AVX512 inline void storeLanes(double* to, __mmask8 valid, __m512d v) {
    if (valid == 0xff)
        _mm512_storeu_pd(to, v);
    else
        _mm512_mask_storeu_pd(to, valid, v);
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
                                                std::int32_t i, __m512d row, LaneBest& lanes) {
    const __mmask8 valid = firstLanes(p.k - i);
    __m512d gi = loadLanes(valid, g + i);
    if (hessianColumn) {
        __m512d h = loadLanes(valid, hessianColumn + i);
        gi = _mm512_add_pd(_mm512_mul_pd(moved, h), gi);
        storeLanes(g + i, valid, gi);
    }
    __m512d d = loadLanes(valid, p.diag + i);
    __m512d si = stepOf(gi, loadLanes(valid, w + i), d);
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

// Scans column g, w for the best move, scoring every row exactly. With a
// hessianColumn, first applies the previous move's gradient update
// g += s·hessianColumn in the same pass. Two sets of lanes take alternate
// chunks, which halves the chain of compares that runs through them.
GREEDYSWEEP_TARGET_AVX512 Move exactScan(const GreedyProblem& p, double* g, const double* w,
                                    const double* hessianColumn, double s) {
    LaneBest even = noMove(), odd = noMove();
    const __m512d moved = _mm512_set1_pd(s);
    __m512d row = _mm512_set_pd(7, 6, 5, 4, 3, 2, 1, 0);
    const __m512d eight = _mm512_set1_pd(kLanes);
    for (std::int32_t i = 0; i < p.k; i += 2 * kLanes) {
        scanChunk(p, g, w, hessianColumn, moved, i, row, even);
        row = _mm512_add_pd(row, eight);
        scanChunk(p, g, w, hessianColumn, moved, i + kLanes, row, odd);
        row = _mm512_add_pd(row, eight);
    }
    return mergeLanes(even, odd);
}

// Where the bound pass of one scan works.
struct BoundPass {
    double* g;
    const double* w;
    const double* hessianColumn;  // null: no gradient update in this pass
    const double* scale;          // p.boundScale
    double* bounds;               // p.step
    __m512d moved;
};

// Computes U of reduction_bound.h for the valid rows among the eight from i
// on, stores it and keeps its largest per lane. With a hessianColumn, first applies the previous move's gradient
// update. Whole chunks pass valid = 0xff, which folds to plain loads.
GREEDYSWEEP_TARGET_AVX512 inline void boundChunk(const BoundPass& b, std::int32_t i,
                                                 __mmask8 valid, __m512d& largest) {
    __m512d gi = loadLanes(valid, b.g + i);
    if (b.hessianColumn) {
        gi = _mm512_add_pd(_mm512_mul_pd(b.moved, loadLanes(valid, b.hessianColumn + i)), gi);
        storeLanes(b.g + i, valid, gi);
    }
    const __m512d wi = loadLanes(valid, b.w + i);
    const __m512d scale = loadLanes(valid, b.scale + i);
    // min returns its second operand if either is NaN, so a NaN g·h carries on.
    const __m512d u = _mm512_mul_pd(gi, _mm512_min_pd(wi, _mm512_mul_pd(gi, scale)));
    storeLanes(b.bounds + i, valid, u);
    // max returns its second operand if either is NaN: NaN rows are not kept.
    largest = _mm512_mask_max_pd(largest, valid, u, largest);
}

GREEDYSWEEP_TARGET_AVX512 void addMove(const GreedyProblem& p, double* g,
                                       const double* hessianColumn, double s) {
    const __m512d moved = _mm512_set1_pd(s);
    for (std::int32_t i = 0; i < p.k; i += kLanes) {
        const __mmask8 valid = firstLanes(p.k - i);
        __m512d gi = _mm512_add_pd(
            _mm512_mul_pd(moved, loadLanes(valid, hessianColumn + i)),
            loadLanes(valid, g + i));
        storeLanes(g + i, valid, gi);
    }
}

// Largest reduction anywhere in W at entry: a max of non-negative, non-NaN
// values, so the lanes may be merged in any order.
GREEDYSWEEP_TARGET_AVX512 double initialReduction(const GreedyProblem& p) {
    __m512d init = _mm512_setzero_pd();
    for (std::int32_t j = 0; j < p.n; ++j) {
        const double* g = p.GW + p.columnStart(j);
        const double* w = p.W + p.columnStart(j);
        for (std::int32_t i = 0; i < p.k; i += kLanes) {
            const __mmask8 valid = firstLanes(p.k - i);
            __m512d gi = loadLanes(valid, g + i);
            __m512d d = loadLanes(valid, p.diag + i);
            __m512d wi = loadLanes(valid, w + i);
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

// One column's way through its moves, and the state of its current scan.
struct Column {
    double* g = nullptr;
    double* w = nullptr;
    Move move{-1, 0.0};      // the best move of the latest scan
    std::int32_t moves = 0;  // moves made so far
    bool finished = true;
    bool bounded = false;  // reduction_bound.h covers every row
    // The gradient update the next scan applies first (none at the start).
    const double* hessianColumn = nullptr;
    double step = 0.0;
    // The pruned scan: every row's bound, the largest, and the exact best of
    // a chunk holding it.
    double* bounds = nullptr;
    double largest = 0.0;
    std::int32_t probe = 0;
    Move probed{-1, 0.0};
};

// First part of a pruned scan: the gradient update and every row's U.
GREEDYSWEEP_TARGET_AVX512 void boundRows(const GreedyProblem& p, Column& c) {
    const BoundPass pass{c.g, c.w, c.hessianColumn, p.boundScale, c.bounds,
                         _mm512_set1_pd(c.step)};
    const std::int32_t k = p.k;
    const __m512d none = _mm512_set1_pd(-std::numeric_limits<double>::infinity());
    __m512d largestEven = none, largestOdd = none;
    std::int32_t i = 0;
    for (; i + 2 * kLanes <= k; i += 2 * kLanes) {
        boundChunk(pass, i, 0xff, largestEven);
        boundChunk(pass, i + kLanes, 0xff, largestOdd);
    }
    for (; i < k; i += kLanes) boundChunk(pass, i, firstLanes(k - i), largestEven);
    c.largest = _mm512_reduce_max_pd(_mm512_max_pd(largestEven, largestOdd));
}

GREEDYSWEEP_TARGET_AVX512 inline __m512d rowsFrom(std::int32_t i) {
    return _mm512_add_pd(_mm512_set_pd(7, 6, 5, 4, 3, 2, 1, 0), _mm512_set1_pd(i));
}

// Second part: scores exactly a chunk holding the largest U (the first chunk
// if every U is NaN); any chunk would give the same result, only slower.
GREEDYSWEEP_TARGET_AVX512 void scoreProbe(const GreedyProblem& p, Column& c) {
    const __m512d largest = _mm512_set1_pd(c.largest);
    std::int32_t probe = 0;
    while (probe + kLanes < p.k &&
           !_mm512_cmp_pd_mask(_mm512_loadu_pd(c.bounds + probe), largest, _CMP_EQ_OQ))
        probe += kLanes;
    LaneBest lanes = noMove();
    scanChunk(p, c.g, c.w, nullptr, largest, probe, rowsFrom(probe), lanes);
    c.probe = probe;
    c.probed = mergeLanes(lanes, noMove());
}

// Last part: the probe's best reduction r0 rules out every row whose bound is
// below r0 (it can neither win nor tie) or not positive; the other chunks
// are scored exactly. Ties between them and the probe go to the lower row,
// so the result is the full scan's.
GREEDYSWEEP_TARGET_AVX512 Move scoreCandidates(const GreedyProblem& p, const Column& c) {
    const double r0 = c.probed.reduction;
    // The bound is +Inf where U > 2^198 or U is NaN, else max(U, 2^-900), and
    // a row is a candidate when its bound is ≥ r0 (r0 > 0) or > 0 (r0 = 0).
    // Every bound is at least 2^-900, so up to there every row is one;
    // above it, a row is ruled out exactly when U < r0 and U ≤ 2^198.
    const double candidateFrom =
        r0 <= reduction_bound::least
            ? -std::numeric_limits<double>::infinity()
            : std::min(r0, std::nextafter(reduction_bound::largestTrusted,
                                          std::numeric_limits<double>::infinity()));
    const __m512d threshold = _mm512_set1_pd(candidateFrom);
    LaneBest lanes = noMove();
    bool scored = false;
    // Chunks are gathered 64 to a word without branching, then scored in order.
    constexpr std::int32_t kGroup = 64 * kLanes;
    for (std::int32_t first = 0; first < p.k; first += kGroup) {
        const std::int32_t end = std::min(p.k, first + kGroup);
        std::uint64_t chunks = 0;
        for (std::int32_t i = first; i < end; i += kLanes) {
            const __mmask8 valid = firstLanes(p.k - i);
            const __mmask8 hit = _mm512_mask_cmp_pd_mask(valid, loadLanes(valid, c.bounds + i),
                                                         threshold, _CMP_NLT_UQ);
            chunks |= std::uint64_t{hit != 0} << ((i - first) / kLanes);
        }
        for (; chunks != 0; chunks &= chunks - 1) {
            const std::int32_t i = first + std::countr_zero(chunks) * kLanes;
            if (i == c.probe) continue;
            scanChunk(p, c.g, c.w, nullptr, threshold, i, rowsFrom(i), lanes);
            scored = true;
        }
    }
    if (!scored) return c.probed;
    const Move rest = mergeLanes(lanes, noMove());
    const bool probeWins = c.probed.reduction > rest.reduction ||
                           (c.probed.reduction == rest.reduction && c.probed.row < rest.row);
    return probeWins ? c.probed : rest;
}

// Makes the move the latest scan chose; the next scan applies its gradient
// update. The move is kept even when it is the one that stops the column.
// The chosen row's step is recomputed from the operands the scan used, which
// gives the scan's bits.
GREEDYSWEEP_TARGET_AVX512 void makeMove(const GreedyProblem& p, double threshold, Column& c) {
    const std::int32_t row = c.move.row;
    const double s = greedyStep(c.g[row], c.w[row], p.diag[row]);
    c.w[row] = s + c.w[row];
    c.bounded = c.bounded && reduction_bound::factorInRange(c.w[row]);
    const double* hessianColumn = p.HHt + p.columnStart(row);
    ++c.moves;
    if (threshold > c.move.reduction || c.moves >= p.maxinner) {
        addMove(p, c.g, hessianColumn, s);
        c.finished = true;
        return;
    }
    c.hessianColumn = hessianColumn;
    c.step = s;
}

// Columns are independent problems. A few are taken in turns, each part of
// a scan for all of them before the next part, so that one column's
// divisions and reductions run while another's wait.
GREEDYSWEEP_TARGET_AVX512 void runColumns(const GreedyProblem& p, double threshold) {
    const bool diagonalInRange = reduction_bound::everyDiagonalInRange(p.diag, p.k);
    for (std::int32_t j0 = 0; j0 < p.n; j0 += greedyColumnsInFlight) {
        Column columns[greedyColumnsInFlight];
        for (std::int32_t c = 0; c < greedyColumnsInFlight && j0 + c < p.n; ++c) {
            Column& column = columns[c];
            column.g = p.GW + p.columnStart(j0 + c);
            column.w = p.W + p.columnStart(j0 + c);
            column.bounds = p.bounds + p.columnStart(c);
            column.bounded =
                diagonalInRange && reduction_bound::everyFactorInRange(column.w, p.k);
            column.finished = false;
        }
        for (;;) {
            bool active = false;
            for (Column& c : columns)
                if (!c.finished) {
                    active = true;
                    if (c.bounded) boundRows(p, c);
                }
            if (!active) break;
            for (Column& c : columns)
                if (!c.finished && c.bounded) scoreProbe(p, c);
            for (Column& c : columns) {
                if (c.finished) continue;
                c.move = c.bounded ? scoreCandidates(p, c)
                                   : exactScan(p, c.g, c.w, c.hessianColumn, c.step);
                c.finished = c.move.row < 0;
            }
            for (Column& c : columns)
                if (!c.finished) makeMove(p, threshold, c);
        }
    }
}

}  // namespace

void greedyColumns(const GreedyProblem& p) {
    if (p.maxinner <= 0) return;  // every column is finished before its first scan
    runColumns(p, initialReduction(p) * p.tol);
}

}  // namespace avx512_path

#endif

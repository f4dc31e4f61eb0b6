#pragma once

// Every kernel written once over an instruction-set layer L. A path's source
// includes its layer and then this header inside its target region (after
// <cstddef>, <cstdint> and kernel_table.h), and fills its table with
// vectorKernels<L>(); everything here has internal linkage, so each path
// keeps its own copy compiled for its own instruction set.
//
// A layer is a struct L with, for a vector type V = L::Vec of L::lanes
// doubles:
//   - V(double) broadcasts; + − * / and unary − (a sign-bit flip) round each
//     lane on its own; < > >= == are ordered and quiet, giving a mask that
//     & and | combine and select(mask, ifTrue, ifFalse) applies;
//     atLeastZero(v) gives select(v < 0, 0, v) and smaller(a, b)
//     select(a < b, a, b), lane by lane;
//   - L::Part from L::firstLanes(count): the first count lanes of a run (none
//     when count ≤ 0), with L::load(p, part) (lanes outside read as +0.0),
//     L::store(p, part, v) (lanes outside never written) and L::inPart(part)
//     as a mask; L::load(p) and L::store(p, v) move whole vectors;
//   - L::laneNumbers() (0, 1, 2, …), L::smallestLane(v) for the argmax,
//     L::transpose(v) of lanes vectors in place, and L::prefetch(p) and
//     L::prefetchToL2(p), hints;
//   - the tile sizes, each with its reason beside it (measured where the
//     path could be timed; docs/performance.md has the variants tried): for
//     long sweeps L::sweepTileVectors, L::sweepTileColumns,
//     L::sweepFinishColumns (a multiple of lanes) and L::sweepPanelDepth;
//     for short ones L::shortSweepRows, L::shortSweepVectors,
//     L::shortSweepBlocks and L::shortSweepMaxRows (a multiple of lanes: the
//     longest columns the short schedule takes, whose group must fit its
//     stack buffer); for the greedy update L::greedyColumnsInFlight and
//     L::greedyColumnsInterleaved (how many of those scan side by side); for
//     the products L::productTileVectors, L::productTileColumns,
//     L::productPackColumns (a multiple of the tile's columns),
//     L::productPanelDoubles and L::sparseBandVectors.
//
// A new instruction set is its layer header, a source like x86/avx2.cpp, a
// KernelPath value and a row in kernel_path.cpp's table.

#include "../kernel_rules.h"
#include "greedy.h"
#include "kl.h"
#include "product.h"
#include "sweep.h"

namespace {

template <class L>
constexpr KernelTable vectorKernels() {
    return {vector_greedy::initialReduction<L>, vector_greedy::greedyColumns<L>,
            vector_sweep::sweep<L, HardThresholdRule>, vector_sweep::sweep<L, NonNegativeRule>,
            vector_product::dense<L>, vector_product::sparse<L, std::int32_t>,
            vector_product::sparse<L, std::int64_t>, vector_kl::scaledAdd<L>,
            vector_kl::slopeSums<L>};
}

}  // namespace

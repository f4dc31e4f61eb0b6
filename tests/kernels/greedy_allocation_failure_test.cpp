// The greedy kernel's scratch vectors come from nothrow new[]; this binary
// makes that fail on demand.

#include <vector>

#include <gtest/gtest.h>

#include "bits.h"
#include "failing_allocator.h"
#include "greedy_coordinate_update.h"
#include "kernel_paths.h"

namespace {

class GreedyAllocationFailure : public EveryPath {};

TEST_P(GreedyAllocationFailure, IsReportedAndLeavesGradientAndFactorUnchanged) {
    {
        std::vector<double> GW{-2, -2}, HHt{2, 0.5, 0.5, 1}, W{0, 0};
        bool done;
        {
            failing_allocator::FailAfter failure(0);
            done = greedyCoordinateUpdateOn(path(), GW.data(), HHt.data(), W.data(), 0.1, 1, 2, 10);
        }
        EXPECT_FALSE(done);
        EXPECT_TRUE(sameBits(GW, {-2, -2}));
        EXPECT_TRUE(sameBits(W, {0, 0}));
    }
    // With allocation working again, the same call does move.
    std::vector<double> GW{-2, -2}, HHt{2, 0.5, 0.5, 1}, W{0, 0};
    EXPECT_TRUE(greedyCoordinateUpdateOn(path(), GW.data(), HHt.data(), W.data(), 0.1, 1, 2, 10));
    EXPECT_TRUE(sameBits(W, {0.5, 1.75}));
}

// k = 0 needs no scratch, so a failed request for zero bytes is no failure.
TEST_P(GreedyAllocationFailure, NoRowsNeedNoScratch) {
    std::vector<double> unused{3.0};
    failing_allocator::FailAfter failure(0);
    EXPECT_TRUE(greedyCoordinateUpdateOn(path(), unused.data(), unused.data(), unused.data(),
                                         0.1, 5, 0, 10));
    EXPECT_TRUE(sameBits(unused, {3.0}));
}

INSTANTIATE_FOR_EVERY_PATH(GreedyAllocationFailure);

}  // namespace

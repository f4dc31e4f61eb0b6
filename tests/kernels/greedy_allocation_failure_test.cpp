// The greedy kernel's scratch vectors come from nothrow new[]; this binary
// replaces the whole global allocator (so every new and delete agree) and can
// make nothrow new[] fail on demand.

#include <cstdlib>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "bits.h"
#include "greedy_coordinate_update.h"

namespace {
int allocationsBeforeFailure = -1;  // −1: never fail
}

void* operator new(std::size_t size) {
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (allocationsBeforeFailure == 0) return nullptr;
    if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

TEST(GreedyAllocationFailure, LeavesGradientAndFactorUnchanged) {
    for (int succeeding = 0; succeeding < 2; ++succeeding) {
        std::vector<double> GW{-2, -2}, HHt{2, 0.5, 0.5, 1}, W{0, 0};
        allocationsBeforeFailure = succeeding;
        greedyCoordinateUpdate(GW.data(), HHt.data(), W.data(), 0.1, 1, 2, 10);
        allocationsBeforeFailure = -1;
        EXPECT_TRUE(sameBits(GW, {-2, -2})) << succeeding << " allocations succeeded";
        EXPECT_TRUE(sameBits(W, {0, 0})) << succeeding << " allocations succeeded";
    }
    // And with allocation working again, the same call does move.
    std::vector<double> GW{-2, -2}, HHt{2, 0.5, 0.5, 1}, W{0, 0};
    greedyCoordinateUpdate(GW.data(), HHt.data(), W.data(), 0.1, 1, 2, 10);
    EXPECT_TRUE(sameBits(W, {0.5, 1.75}));
}

}  // namespace

// What Octave cannot hand a plug-in: a sparse structure no host builds.

#include <vector>

#include <gtest/gtest.h>

#include "plugin_calls.h"

TEST(SparsetimesGateway, RefusesAStructureThatWouldReadOutsideX) {
    auto X = testhost::makeDouble(1, 3, {1, 2, 3});
    // 3 by 2, one entry a column, broken one way at a time.
    const std::vector<std::vector<int>> starts = {{0, 1, 2}, {0, 1, 2}, {0, 2, 1}, {1, 1, 2}};
    const std::vector<std::vector<int>> rows = {{0, 3}, {-1, 2}, {0, 2}, {0, 2}};
    for (std::size_t c = 0; c < starts.size(); ++c) {
        auto A = testhost::makeSparseParts(3, 2, starts[c], rows[c], {1, 1});
        EXPECT_TRUE(refusedWith("sparsetimes", 1, {X.get(), A.get()}, "sparsetimes:badSparse"))
            << "case " << c;
    }
    // Unsorted rows inside a column are a structure the product reads safely.
    auto A = testhost::makeSparseParts(3, 1, {0, 2}, {2, 0}, {1, 10});
    const testhost::CallResult result = plugin("sparsetimes").call(1, {X.get(), A.get()});
    ASSERT_FALSE(result.error);
    EXPECT_EQ(testhost::values(result.outputs[0].get()), std::vector<double>{13});
}

// greedycd when the kernel finds no memory for its scratch block: this
// binary exports its allocator, so the plug-in loaded from disk uses it
// wherever the plug-in takes its C++ runtime from this program.

#include <vector>

#include <gtest/gtest.h>

#include "failing_allocator.h"
#include "plugin_calls.h"

namespace {

using testhost::makeDouble;
using testhost::makeScalar;

TEST(GreedycdGateway, KernelOutOfMemoryIsRefusedWithoutLeaks) {
    auto GW = makeDouble(2, 1, {-2, -2});
    auto HHt = makeDouble(2, 2, {2, 0.5, 0.5, 1});
    auto W = makeDouble(2, 1, {0, 0});
    auto tol = makeScalar(0.1), maxinner = makeScalar(10);
    const std::vector<const mxArray*> inputs{GW.get(), HHt.get(), W.get(), tol.get(),
                                             maxinner.get()};
    std::vector<std::vector<unsigned char>> before;
    for (const mxArray* input : inputs) before.push_back(testhost::snapshot(input));

    const long long requests = failing_allocator::arrayRequests;
    const testhost::CallResult done = plugin("greedycd").call(1, inputs);
    ASSERT_FALSE(done.error) << done.error->identifier;
    EXPECT_EQ(testhost::values(done.outputs[0].get()), (std::vector<double>{0.5, 1.75}));
    if (failing_allocator::arrayRequests == requests)
        GTEST_SKIP() << "the plug-in takes its scratch memory from its own C++ runtime "
                        "(linked statically), which this program cannot make fail";

    {
        failing_allocator::FailAfter failure(0);
        EXPECT_TRUE(refusedWith("greedycd", 2, inputs, "greedycd:outOfMemory"));
    }
    for (std::size_t i = 0; i < inputs.size(); ++i)
        EXPECT_EQ(testhost::snapshot(inputs[i]), before[i]) << "input " << i + 1 << " changed";
}

}  // namespace

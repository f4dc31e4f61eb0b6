#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "forward_sweep.h"
#include "greedy_coordinate_update.h"
#include "kernel_path.h"

namespace {

TEST(KernelPaths, DispatchedAreAvailableAndScalarAlwaysIs) {
    EXPECT_TRUE(kernelPathAvailable(KernelPath::scalar));
    EXPECT_TRUE(kernelPathAvailable(widestKernelPath()));
    for (Kernel kernel : allKernels) EXPECT_TRUE(kernelPathAvailable(dispatchedPath(kernel)));
    std::set<std::string> names;
    for (KernelPath path : allKernelPaths) names.insert(kernelPathName(path));
    EXPECT_EQ(names.size(), std::size(allKernelPaths)) << "path names must be distinct";
    EXPECT_EQ(names.count("unknown"), 0u);
}

// A path this build does not have, or one this CPU cannot execute, is
// refused by every entry point that takes a path, with nothing written.
TEST(KernelPaths, EntryPointsRefuseAPathTheyCannotRun) {
    std::vector<KernelPath> refused{static_cast<KernelPath>(99)};
    for (KernelPath path : allKernelPaths)
        if (!kernelPathAvailable(path)) refused.push_back(path);
    for (KernelPath path : refused) {
        SCOPED_TRACE(kernelPathName(path));
        const double M[] = {2.0}, C[] = {-1.0};
        double X[] = {7.0}, GW[] = {-1.0}, W[] = {0.0};
        EXPECT_FALSE(hardThresholdSweepOn(path, X, M, C, 0.0, 1, 1));
        EXPECT_FALSE(nonNegativeSweepOn(path, X, M, C, 0.0, 1, 1));
        EXPECT_FALSE(greedyCoordinateUpdateOn(path, GW, M, W, 0.0, 1, 1, 1));
        EXPECT_EQ(X[0], 7.0);
        EXPECT_EQ(GW[0], -1.0);
        EXPECT_EQ(W[0], 0.0);
    }
}

#if GREEDYSWEEP_X86_64 && defined(__GNUC__)
// The compiler's runtime also asks CPUID and XGETBV; both must agree.
TEST(KernelPaths, DetectionAgreesWithTheCompilerRuntime) {
    const bool avx2 = __builtin_cpu_supports("avx2");
    const bool avx512 = __builtin_cpu_supports("avx512f");
    EXPECT_EQ(kernelPathAvailable(KernelPath::avx2), avx2);
    EXPECT_EQ(kernelPathAvailable(KernelPath::avx512), avx512);
    const KernelPath expected =
        avx512 ? KernelPath::avx512 : (avx2 ? KernelPath::avx2 : KernelPath::scalar);
    EXPECT_EQ(widestKernelPath(), expected);
}
#endif

}  // namespace

#include <set>
#include <string>

#include <gtest/gtest.h>

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

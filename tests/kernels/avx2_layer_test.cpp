// Everything outside this path is included before its target region.
#include <cstddef>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "bits.h"
#include "kernel_path.h"
#include "simd_target.h"

#if GREEDYSWEEP_X86_64
#include <immintrin.h>

GREEDYSWEEP_BEGIN_TARGET("avx2")
#include "x86/avx2_layer.h"
#include "layer_checks.h"
GREEDYSWEEP_END_TARGET

TEST(Layers, Avx2) {
    if (!kernelPathAvailable(KernelPath::avx2)) GTEST_SKIP() << "avx2 is not available on this CPU";
    checkLayer<avx2_layer::Layer>();
}
#endif

// Everything outside this path is included before its target region.
#include <cstddef>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "bits.h"
#include "kernel_path.h"
#include "simd_target.h"

#if GREEDYSWEEP_X86_64
#include "x86/avx512_intrinsics.h"

GREEDYSWEEP_BEGIN_TARGET("avx512f")
#include "x86/avx512_layer.h"
#include "layer_checks.h"
GREEDYSWEEP_END_TARGET

TEST(Layers, Avx512) {
    if (!kernelPathAvailable(KernelPath::avx512))
        GTEST_SKIP() << "avx512 is not available on this CPU";
    checkLayer<avx512_layer::Layer>();
}
#endif

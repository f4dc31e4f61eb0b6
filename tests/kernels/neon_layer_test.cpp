// Everything outside this path is included before its target region.
#include <cstddef>
#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "bits.h"
#include "kernel_path.h"
#include "simd_target.h"

#if GREEDYSWEEP_AARCH64
#include <arm_neon.h>

#include "arm/neon_layer.h"
#include "layer_checks.h"

TEST(Layers, Neon) { checkLayer<neon_layer::Layer>(); }
#endif

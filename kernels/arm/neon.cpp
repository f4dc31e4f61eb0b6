// The NEON path: the vector kernels over the AArch64 Advanced SIMD layer,
// which every AArch64 CPU has, so it needs no target region.
#include "../no_fp_contract.h"

// Every standard header the shared kernels use, included first as in the
// paths that have a target region (see simd_target.h).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <numeric>
#include <type_traits>

#include "../kernel_table.h"
#include "../simd_target.h"

#if GREEDYSWEEP_AARCH64
#include <arm_neon.h>

#include "neon_layer.h"
#include "../vector/vector_kernels.h"
const KernelTable neonKernels = vectorKernels<neon_layer::Layer>();
#endif

// The AVX-512 path: the vector kernels over the AVX-512F layer.
#include "../no_fp_contract.h"

// Every standard header the shared kernels use, included before the target
// region (see simd_target.h).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <numeric>
#include <type_traits>

#include "../kernel_table.h"
#include "../simd_target.h"

#if GREEDYSWEEP_X86_64
#include "avx512_intrinsics.h"

GREEDYSWEEP_BEGIN_TARGET("avx512f")
#include "avx512_layer.h"
#include "../vector/vector_kernels.h"
const KernelTable avx512Kernels = vectorKernels<avx512_layer::Layer>();
GREEDYSWEEP_END_TARGET
#endif

// The AVX2 path: the vector kernels over the AVX2 layer.
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
#include <immintrin.h>

GREEDYSWEEP_BEGIN_TARGET("avx2")
#include "avx2_layer.h"
#include "../vector/vector_kernels.h"
const KernelTable avx2Kernels = vectorKernels<avx2_layer::Layer>();
GREEDYSWEEP_END_TARGET
#endif

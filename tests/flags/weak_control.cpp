// An inline function defined inside a target region, as a standard header
// included there would define one: at -O0 it is emitted as a weak function
// holding AVX code, which the weak-symbol check must find.
#include "simd_target.h"

GREEDYSWEEP_BEGIN_TARGET("avx2")
inline double twice(double x) { return x + x; }
double callTwice(double x) { return twice(x); }
GREEDYSWEEP_END_TARGET

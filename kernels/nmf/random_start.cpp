#include "no_fp_contract.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "greedy_nmf.h"
#include "masked_data.h"

// SplitMix64: a Weyl sequence through a fixed mixing function, so that the
// stream is the same on every machine and easy to write down. Its top 53
// bits make the double.
double nmfUniform(std::uint64_t& state) {
    state += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z = z ^ (z >> 31);
    return static_cast<double>(z >> 11) * 0x1.0p-53;
}

template <typename Index>
void nmfRandomStart(const NmfMatrix<Index>& A, std::ptrdiff_t k, std::uint64_t seed, double* Wt,
                    double* H) {
    // Uniform entries give W·H a mean of k/4 before scaling.
    const double scale = std::sqrt(observedMean(A) / (static_cast<double>(k) / 4.0));
    std::uint64_t state = seed;
    for (std::ptrdiff_t i = 0; i < k * A.m; ++i) Wt[i] = nmfUniform(state) * scale;
    for (std::ptrdiff_t i = 0; i < k * A.n; ++i) H[i] = nmfUniform(state) * scale;
}

template void nmfRandomStart(const NmfMatrix<std::int32_t>&, std::ptrdiff_t, std::uint64_t,
                             double*, double*);
template void nmfRandomStart(const NmfMatrix<std::int64_t>&, std::ptrdiff_t, std::uint64_t,
                             double*, double*);

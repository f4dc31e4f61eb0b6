#include "no_fp_contract.h"

#include "sparse_product.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// Rows are done in bands of up to this many, each band's sums held in
// registers across a whole column of A: 24 sums take 12 of SSE2's 16
// registers, and wider bands would spill. Each band is one pass over A, so
// ranks above 24 read A more than once.
constexpr std::ptrdiff_t widestBand = 24;

// Rows r0 … r0+Rows−1 of P. Entries are summed in storage order, whatever
// the band.
template <int Rows, typename Index>
void productBand(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t r0,
                 std::ptrdiff_t n, const Index* columnStart, const Index* rowIndex,
                 const double* values) {
    for (std::ptrdiff_t j = 0; j < n; ++j) {
        double sum[Rows];
        for (int r = 0; r < Rows; ++r) sum[r] = 0.0;
        const std::ptrdiff_t end = static_cast<std::ptrdiff_t>(columnStart[j + 1]);
        for (std::ptrdiff_t t = static_cast<std::ptrdiff_t>(columnStart[j]); t < end; ++t) {
            const double a = values[t];
            const double* x = X + static_cast<std::ptrdiff_t>(rowIndex[t]) * k + r0;
            for (int r = 0; r < Rows; ++r) sum[r] = sum[r] + x[r] * a;
        }
        double* p = P + j * k + r0;
        for (int r = 0; r < Rows; ++r) p[r] = sum[r];
    }
}

template <typename Index>
using Band = void (*)(double*, const double*, std::ptrdiff_t, std::ptrdiff_t, std::ptrdiff_t,
                      const Index*, const Index*, const double*);

template <typename Index, std::size_t... Width>
constexpr std::array<Band<Index>, sizeof...(Width)> bandsOf(std::index_sequence<Width...>) {
    return {&productBand<static_cast<int>(Width) + 1, Index>...};
}

// bands[w - 1] does a band of w rows.
template <typename Index>
constexpr auto bands = bandsOf<Index>(std::make_index_sequence<widestBand>());

// k rows in the fewest bands of at most widestBand, of near-equal widths.
template <typename Index>
void product(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t n,
             const Index* columnStart, const Index* rowIndex, const double* values) {
    const std::ptrdiff_t count = (k + widestBand - 1) / widestBand;
    std::ptrdiff_t r0 = 0;
    for (std::ptrdiff_t b = 0; b < count; ++b) {
        const std::ptrdiff_t width = (k - r0) / (count - b);
        bands<Index>[width - 1](P, X, k, r0, n, columnStart, rowIndex, values);
        r0 += width;
    }
}

template <typename Index>
bool valid(std::ptrdiff_t m, std::ptrdiff_t n, const Index* columnStart, const Index* rowIndex) {
    if (columnStart[0] != 0) return false;
    for (std::ptrdiff_t j = 0; j < n; ++j)
        if (columnStart[j + 1] < columnStart[j]) return false;
    // One test per entry, no early exit, so that it runs as fast as a pass
    // over the indices can.
    bool inside = true;
    const std::ptrdiff_t count = static_cast<std::ptrdiff_t>(columnStart[n]);
    for (std::ptrdiff_t t = 0; t < count; ++t)
        inside &= rowIndex[t] >= 0 && rowIndex[t] < m;
    return inside;
}

}  // namespace

void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                     std::ptrdiff_t n, const std::int32_t* columnStart,
                     const std::int32_t* rowIndex, const double* values) {
    (void)m;  // X's column count: only the row indices reach into X
    product(P, X, k, n, columnStart, rowIndex, values);
}

void fullTimesSparse(double* P, const double* X, std::ptrdiff_t k, std::ptrdiff_t m,
                     std::ptrdiff_t n, const std::int64_t* columnStart,
                     const std::int64_t* rowIndex, const double* values) {
    (void)m;
    product(P, X, k, n, columnStart, rowIndex, values);
}

bool validSparseColumns(std::ptrdiff_t m, std::ptrdiff_t n, const std::int32_t* columnStart,
                        const std::int32_t* rowIndex) {
    return valid(m, n, columnStart, rowIndex);
}

bool validSparseColumns(std::ptrdiff_t m, std::ptrdiff_t n, const std::int64_t* columnStart,
                        const std::int64_t* rowIndex) {
    return valid(m, n, columnStart, rowIndex);
}

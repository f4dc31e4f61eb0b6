#include "no_fp_contract.h"

#include "kl_half_step.h"

#include <algorithm>
#include <new>

#include "kl_column.h"

bool KlHalfStep::prepare(std::ptrdiff_t longest, std::ptrdiff_t lines, double groupBytes) {
    longest_ = longest;
    // The bits are the same either way.
    group_ = klGroup * 8.0 * static_cast<double>(k_) * static_cast<double>(longest) <= groupBytes
                 ? klGroup
                 : 1;
    order_.reset(new (std::nothrow) std::ptrdiff_t[lines > 0 ? lines : 1]);
    if (!order_) return false;
    otherSum_ = doubles(k_);
    basis_ = doubles(parts_ * group_ * k_ * longest);
    model_ = doubles(parts_ * group_ * longest);
    return otherSum_ && basis_ && model_;
}

void KlHalfStep::run(const Workers& workers, const PositiveEntries& lines, const double* Y,
                     std::ptrdiff_t others, double* X, double l1, double l2, int passes,
                     double* divergence) {
    const std::ptrdiff_t k = k_;
    double* const ySum = otherSum_.get();
    for (std::ptrdiff_t r = 0; r < k; ++r) ySum[r] = 0.0;
    for (std::ptrdiff_t c = 0; c < others; ++c)
        for (std::ptrdiff_t r = 0; r < k; ++r) ySum[r] = ySum[r] + Y[r + c * k];
    const KlShared shared{workers.product, ySum, k, l1, l2};

    const double work = static_cast<double>(k) * static_cast<double>(lines.entries()) * (passes + 2);
    const int parts = workers.partsFor(lines.lines, work);
    const int chunks = chunksFor(parts, lines.lines);
    claimChunks(
        workers, parts, chunks,
        [&](int c) { return entriesOfPart(lines.start.get(), lines.lines, chunks, c); },
        [&](ColumnRange range, int part) {
            double* const basis = basis_.get() + part * group_ * k * longest_;
            double* const model = model_.get() + part * group_ * longest_;
            // Lines of near-equal length share a group, whose sums then
            // overlap to the end; each line's bits are its own either way.
            std::ptrdiff_t* const order = order_.get() + range.begin;
            const std::ptrdiff_t lineCount = range.end - range.begin;
            for (std::ptrdiff_t i = 0; i < lineCount; ++i) order[i] = range.begin + i;
            const auto length = [&](std::ptrdiff_t l) { return lines.start[l + 1] - lines.start[l]; };
            std::sort(order, order + lineCount,
                      [&](std::ptrdiff_t x, std::ptrdiff_t y) { return length(x) < length(y); });
            for (std::ptrdiff_t i = 0; i < lineCount; i += group_) {
                const int columns = static_cast<int>(lineCount - i < group_ ? lineCount - i : group_);
                KlColumn group[klGroup];
                for (int g = 0; g < columns; ++g) {
                    const std::ptrdiff_t line = order[i + g];
                    const std::ptrdiff_t first = lines.start[line];
                    const std::ptrdiff_t count = lines.start[line + 1] - first;
                    double* const packed = basis + g * k * longest_;
                    pack(packed, Y, lines.index.get() + first, count);
                    group[g] = {lines.value.get() + first, packed, count, X + line * k,
                                model + g * longest_};
                    klModel(shared, group[g]);
                }
                klPasses(shared, group, columns, passes);
                if (divergence)
                    for (int g = 0; g < columns; ++g)
                        divergence[order[i + g]] = klDivergencePart(group[g]);
            }
        });
}

// Y's columns at the entries' indices, row r of them at basis + r·count:
// a few entries at a time, so that their columns are read once for all rows.
void KlHalfStep::pack(double* basis, const double* Y, const std::int32_t* index,
                      std::ptrdiff_t count) const {
    const std::ptrdiff_t k = k_, block = 8;
    for (std::ptrdiff_t p0 = 0; p0 < count; p0 += block) {
        const std::ptrdiff_t p1 = p0 + block < count ? p0 + block : count;
        for (std::ptrdiff_t r = 0; r < k; ++r) {
            double* row = basis + r * count;
            for (std::ptrdiff_t p = p0; p < p1; ++p)
                row[p] = Y[static_cast<std::ptrdiff_t>(index[p]) * k + r];
        }
    }
}

double modelSum(const double* ySum, const double* X, std::ptrdiff_t k, std::ptrdiff_t columns) {
    double total = 0.0;
    for (std::ptrdiff_t r = 0; r < k; ++r) {
        double xSum = 0.0;
        for (std::ptrdiff_t c = 0; c < columns; ++c) xSum = xSum + X[r + c * k];
        total = total + ySum[r] * xSum;
    }
    return total;
}

#include "no_fp_contract.h"

#include "positive_entries.h"

#include <new>

namespace {

bool allocate(PositiveEntries& e, std::ptrdiff_t lines, std::ptrdiff_t entries) {
    e.lines = lines;
    e.start.reset(new (std::nothrow) std::ptrdiff_t[lines + 1]);
    e.index.reset(new (std::nothrow) std::int32_t[entries > 0 ? entries : 1]);
    e.value.reset(new (std::nothrow) double[entries > 0 ? entries : 1]);
    return e.start && e.index && e.value;
}

void findLongest(PositiveEntries& e) {
    e.longest = 0;
    for (std::ptrdiff_t l = 0; l < e.lines; ++l)
        if (e.start[l + 1] - e.start[l] > e.longest) e.longest = e.start[l + 1] - e.start[l];
}

// f(row, column, value) for each positive entry, column by column.
template <typename Index, class F>
void forEachPositive(const NmfMatrix<Index>& A, const F& f) {
    for (std::ptrdiff_t j = 0; j < A.n; ++j) {
        if (A.columnStart) {
            for (std::ptrdiff_t t = A.columnStart[j]; t < A.columnStart[j + 1]; ++t)
                if (A.values[t] > 0.0) f(static_cast<std::ptrdiff_t>(A.rowIndex[t]), j, A.values[t]);
        } else {
            for (std::ptrdiff_t i = 0; i < A.m; ++i)
                if (A.values[i + j * A.m] > 0.0) f(i, j, A.values[i + j * A.m]);
        }
    }
}

}  // namespace

double PositiveEntries::sum() const {
    double total = 0.0;
    for (std::ptrdiff_t t = 0, count = entries(); t < count; ++t) total = total + value[t];
    return total;
}

template <typename Index>
bool positiveEntries(const NmfMatrix<Index>& A, PositiveEntries& byColumn, PositiveEntries& byRow) {
    std::ptrdiff_t entries = 0;
    forEachPositive(A, [&](std::ptrdiff_t, std::ptrdiff_t, double) { ++entries; });
    if (!allocate(byColumn, A.n, entries) || !allocate(byRow, A.m, entries)) return false;
    // Rows: count each row's entries, make the counts starts, deal the
    // entries out column by column, then move each start back to its row.
    for (std::ptrdiff_t j = 0; j <= A.n; ++j) byColumn.start[j] = 0;
    for (std::ptrdiff_t i = 0; i <= A.m; ++i) byRow.start[i] = 0;
    forEachPositive(A, [&](std::ptrdiff_t i, std::ptrdiff_t j, double) {
        ++byColumn.start[j + 1];
        ++byRow.start[i + 1];
    });
    for (std::ptrdiff_t j = 0; j < A.n; ++j) byColumn.start[j + 1] += byColumn.start[j];
    for (std::ptrdiff_t i = 0; i < A.m; ++i) byRow.start[i + 1] += byRow.start[i];
    std::ptrdiff_t next = 0;
    forEachPositive(A, [&](std::ptrdiff_t i, std::ptrdiff_t j, double a) {
        byColumn.index[next] = static_cast<std::int32_t>(i);
        byColumn.value[next] = a;
        ++next;
        std::ptrdiff_t& slot = byRow.start[i];
        byRow.index[slot] = static_cast<std::int32_t>(j);
        byRow.value[slot] = a;
        ++slot;
    });
    for (std::ptrdiff_t i = A.m; i > 0; --i) byRow.start[i] = byRow.start[i - 1];
    byRow.start[0] = 0;
    findLongest(byColumn);
    findLongest(byRow);
    return true;
}

template bool positiveEntries(const NmfMatrix<std::int32_t>&, PositiveEntries&, PositiveEntries&);
template bool positiveEntries(const NmfMatrix<std::int64_t>&, PositiveEntries&, PositiveEntries&);

#include "no_fp_contract.h"

#include "observed_lines.h"

#include <new>

namespace {

template <typename T>
std::unique_ptr<T[]> array(std::ptrdiff_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count > 0 ? count : 1]);
}

// The lists of `lines` lines of `length` entries from enumerate(f), which
// calls f(line, entry, weight) for every observed entry, each line's in
// increasing order: one pass to count and choose each line's list, one to
// fill them.
template <class Enumerate>
bool build(ObservedLines& L, std::ptrdiff_t lines, std::ptrdiff_t length,
           const Enumerate& enumerate) {
    L.lines = lines, L.length = length;
    L.start = array<std::ptrdiff_t>(lines + 1);
    L.observed = array<std::ptrdiff_t>(lines);
    L.listsMissing = array<bool>(lines);
    std::unique_ptr<std::ptrdiff_t[]> next = array<std::ptrdiff_t>(lines),
                                      gapFrom = array<std::ptrdiff_t>(lines);
    if (!L.start || !L.observed || !L.listsMissing || !next || !gapFrom) return false;
    for (std::ptrdiff_t l = 0; l < lines; ++l) L.observed[l] = 0, L.listsMissing[l] = true;
    // listsMissing holds "every weight is 1" until the choice.
    enumerate([&](std::ptrdiff_t l, std::ptrdiff_t, double w) {
        ++L.observed[l];
        if (w != 1.0) L.listsMissing[l] = false;
    });
    L.start[0] = 0;
    L.longest = 0;
    for (std::ptrdiff_t l = 0; l < lines; ++l) {
        const std::ptrdiff_t missing = length - L.observed[l];
        L.listsMissing[l] = L.listsMissing[l] && missing < L.observed[l];
        const std::ptrdiff_t count = L.listsMissing[l] ? missing : L.observed[l];
        if (count > L.longest) L.longest = count;
        L.start[l + 1] = L.start[l] + count;
        next[l] = L.start[l];
        gapFrom[l] = 0;
    }
    L.index = array<std::int32_t>(L.start[lines]);
    L.weight = array<double>(L.start[lines]);
    if (!L.index || !L.weight) return false;
    const auto list = [&](std::ptrdiff_t l, std::ptrdiff_t entry, double w) {
        L.index[next[l]] = static_cast<std::int32_t>(entry);
        L.weight[next[l]] = w;
        ++next[l];
    };
    // A line listing its missing entries lists the gaps between observed ones.
    enumerate([&](std::ptrdiff_t l, std::ptrdiff_t entry, double w) {
        if (!L.listsMissing[l]) return list(l, entry, w);
        for (std::ptrdiff_t e = gapFrom[l]; e < entry; ++e) list(l, e, 1.0);
        gapFrom[l] = entry + 1;
    });
    for (std::ptrdiff_t l = 0; l < lines; ++l)
        if (L.listsMissing[l])
            for (std::ptrdiff_t e = gapFrom[l]; e < length; ++e) list(l, e, 1.0);
    return true;
}

}  // namespace

template <typename Index>
bool observedLines(const NmfMatrix<Index>& A, ObservedLines& byColumn, ObservedLines& byRow) {
    // Rows are enumerated column by column too, so each row's columns come in order.
    const auto columns = [&](const auto& f) {
        for (std::ptrdiff_t j = 0; j < A.n; ++j)
            forEachObserved(A, j, [&](std::ptrdiff_t i, double w, double) { f(j, i, w); });
    };
    const auto rows = [&](const auto& f) {
        for (std::ptrdiff_t j = 0; j < A.n; ++j)
            forEachObserved(A, j, [&](std::ptrdiff_t i, double w, double) { f(i, j, w); });
    };
    return build(byColumn, A.n, A.m, columns) && build(byRow, A.m, A.n, rows);
}

template bool observedLines(const NmfMatrix<std::int32_t>&, ObservedLines&, ObservedLines&);
template bool observedLines(const NmfMatrix<std::int64_t>&, ObservedLines&, ObservedLines&);

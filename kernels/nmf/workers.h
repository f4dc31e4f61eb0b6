#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <new>

#include "../kernel_table.h"
#include "thread_team.h"

// The kernels a solver runs, the team it runs them on, and how a step's
// columns are cut into parts. No part ever splits a sum: each writes
// whole columns of its outputs, so no cut changes a bit.
struct Workers {
    ThreadTeam& team;
    const KernelTable& greedy;
    const KernelTable& product;
    // A part gets at least this many multiply-adds of work: fewer cost less
    // than waking a thread for them. Tests set 0, to cut every step.
    double minimumPartWork;
    // The Kullback-Leibler half step solves lines side by side while their
    // packed columns take at most this many bytes (kl_half_step.h). Tests
    // set 0, to solve every line alone.
    double klGroupBytes;

    // Parts for `columns` columns that cost `work` multiply-adds in all.
    int partsFor(std::ptrdiff_t columns, double work) const {
        int parts = team.size();
        if (columns < parts) parts = static_cast<int>(columns);
        if (minimumPartWork > 0 && work / minimumPartWork < parts)
            parts = static_cast<int>(work / minimumPartWork);
        return parts < 1 ? 1 : parts;
    }
};

// Columns [begin, end) of a part.
struct ColumnRange {
    std::ptrdiff_t begin, end;
};

// Part `part` of `parts` near-equal runs of `columns` columns.
inline ColumnRange columnsOfPart(std::ptrdiff_t columns, int parts, int part) {
    return {columns * part / parts, columns * (part + 1) / parts};
}

// Part `part` of `parts` runs of compressed columns holding near-equal
// numbers of entries: where the work of a sparse product lies.
template <typename Index>
ColumnRange entriesOfPart(const Index* columnStart, std::ptrdiff_t columns, int parts, int part) {
    const auto firstColumnFrom = [&](int cut) -> std::ptrdiff_t {
        if (cut == 0) return 0;
        if (cut == parts) return columns;
        const double target = static_cast<double>(columnStart[columns]) * cut / parts;
        std::ptrdiff_t low = 0, high = columns;  // the first column starting at or past target
        while (low < high) {
            const std::ptrdiff_t middle = low + (high - low) / 2;
            if (static_cast<double>(columnStart[middle]) < target) low = middle + 1;
            else high = middle;
        }
        return low;
    };
    return {firstColumnFrom(part), firstColumnFrom(part + 1)};
}

// f(cut(c), part) for chunks c = 0 … chunks − 1 that `parts` parts claim in
// turn, so that a part whose columns cost less, or whose core runs faster,
// takes more of them.
template <class Cut, class F>
void claimChunks(const Workers& workers, int parts, int chunks, const Cut& cut, const F& f) {
    std::atomic<int> next{0};
    workers.team.run(parts, [&](int part) {
        for (int c; (c = next.fetch_add(1, std::memory_order_relaxed)) < chunks;) f(cut(c), part);
    });
}

// Chunks enough for claiming to even out uneven columns and uneven cores:
// `perPart` for each part, as many as there are columns at most.
inline int chunksFor(int parts, std::ptrdiff_t columns, int perPart = 8) {
    if (parts == 1) return 1;
    const std::ptrdiff_t chunks = static_cast<std::ptrdiff_t>(perPart) * parts;
    return static_cast<int>(columns < chunks ? columns : chunks);
}

// f(range) for each part of `columns` columns that cost `work` in all.
template <class F>
void splitColumns(const Workers& workers, std::ptrdiff_t columns, double work, const F& f) {
    const int parts = workers.partsFor(columns, work);
    workers.team.run(parts, [&](int part) { f(columnsOfPart(columns, parts, part)); });
}

// `count` doubles, or none when memory runs out.
inline std::unique_ptr<double[]> doubles(std::ptrdiff_t count) {
    return std::unique_ptr<double[]>(new (std::nothrow) double[count > 0 ? count : 1]);
}

// A team for `threads` threads on steps of at most `columns` columns each:
// never more threads than columns to share.
inline int teamSizeFor(int threads, std::ptrdiff_t columns) {
    if (columns < threads) threads = static_cast<int>(columns);
    return threads < 1 ? 1 : threads;
}

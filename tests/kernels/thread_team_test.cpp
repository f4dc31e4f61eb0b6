// The team the solver shares its steps out on: every part runs once per
// step, side by side or (beyond the team's size) one after another, its
// writes seen by the caller; chunks are claimed once each.

#include <atomic>
#include <vector>

#include <gtest/gtest.h>

#include "nmf/thread_team.h"
#include "nmf/workers.h"

namespace {

TEST(ThreadTeam, EveryPartRunsOnceAndItsWritesAreSeen) {
    for (int threads : {1, 2, 3, 7}) {
        ThreadTeam team(threads);
        ASSERT_EQ(team.size(), threads) << "the system refused a thread";
        std::vector<int> counts(9, 0), expected(9, 0);
        // Many short steps in a row, of every part count up to and past the
        // team's size: a step must never see its predecessor's parts still
        // running, nor lose a wake-up.
        for (int step = 0; step < 900; ++step) {
            const int parts = 1 + step % 9;
            team.run(parts, [&](int part) { ++counts[part]; });
            for (int part = 0; part < parts; ++part) ++expected[part];
        }
        EXPECT_EQ(counts, expected) << threads << " threads";
    }
}

TEST(ThreadTeam, ClaimedChunksCoverEveryColumnOnce) {
    ThreadTeam team(3);
    const Workers workers{team, scalarKernels, scalarKernels, 0, 0};
    for (std::ptrdiff_t columns : {1, 2, 5, 23, 24, 1000}) {
        const int parts = workers.partsFor(columns, 1.0);
        const int chunks = chunksFor(parts, columns);
        std::vector<std::atomic<int>> seen(static_cast<std::size_t>(columns));
        claimChunks(
            workers, parts, chunks, [&](int c) { return columnsOfPart(columns, chunks, c); },
            [&](ColumnRange r, int part) {
                EXPECT_LT(part, parts);
                for (std::ptrdiff_t j = r.begin; j < r.end; ++j) ++seen[j];
            });
        for (std::ptrdiff_t j = 0; j < columns; ++j)
            EXPECT_EQ(seen[j].load(), 1) << columns << " columns, column " << j;
    }
}

TEST(ThreadTeam, EntryRunsCoverEveryColumnInOrder) {
    // Columns of 0, 5, 0, 0, 40 and 1 entries, cut into up to 7 runs.
    const long long start[] = {0, 0, 5, 5, 5, 45, 46};
    for (int parts = 1; parts <= 7; ++parts) {
        std::ptrdiff_t next = 0;
        for (int part = 0; part < parts; ++part) {
            const ColumnRange r = entriesOfPart(start, 6, parts, part);
            EXPECT_EQ(r.begin, next) << parts << " parts";
            EXPECT_LE(r.begin, r.end);
            next = r.end;
        }
        EXPECT_EQ(next, 6) << parts << " parts";
    }
}

}  // namespace

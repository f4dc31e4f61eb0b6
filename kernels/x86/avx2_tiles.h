#pragma once

// The AVX2 layer's tile sizes, apart from its intrinsics, so that the tests
// can name each layer's limits. Chosen by timing on Zen 3
// (docs/performance.md has the figures).

struct Avx2Tiles {
    static constexpr int lanes = 4;
    // A sweep tile of 2 vectors of rows by 6 columns: 12 running sums, two
    // pieces of M and a broadcast fill 15 of 16 registers.
    static constexpr int sweepTileVectors = 2;
    static constexpr int sweepTileColumns = 6;
    // Columns finished side by side, a multiple of lanes.
    static constexpr int sweepFinishColumns = 24;
    static constexpr int sweepPanelDepth = 256;
    // Short columns: row blocks of 6 by 2 vectors of columns, 12 running
    // sums, 3 column blocks finishing in lockstep.
    static constexpr int shortSweepRows = 6;
    static constexpr int shortSweepVectors = 2;
    static constexpr int shortSweepBlocks = 3;
    // Groups of 256 rows fill a 48 KB buffer.
    static constexpr int shortSweepMaxRows = 256;
    // Six columns in flight beat four at k = 16 and 64 on Zen 3.
    static constexpr int greedyColumnsInFlight = 6;
    static constexpr int greedyColumnsInterleaved = 2;
    // Products: a tile of 2 vectors of rows by 6 columns of B, as the sweep;
    // B's rows packed into columns 240 at a time (30 cache lines of A per
    // s); X's rows packed in panels of up to 32768 doubles (256 KB, half the
    // L2 cache of Zen 3).
    static constexpr int productTileVectors = 2;
    static constexpr int productTileColumns = 6;
    static constexpr int productPackColumns = 240;
    static constexpr int productPanelDoubles = 32768;
    // Sparse products: up to 8 vectors (32 rows) of sums, each added to once
    // per entry of S.
    static constexpr int sparseBandVectors = 8;
};

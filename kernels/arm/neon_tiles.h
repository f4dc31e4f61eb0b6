#pragma once

// The NEON layer's tile sizes, apart from its intrinsics, so that the tests
// can name each layer's limits. Chosen by register count: no AArch64 CPU
// has timed them.

struct NeonTiles {
    static constexpr int lanes = 2;
    // A sweep tile of 2 vectors of rows by 12 columns: 24 running sums, two
    // pieces of M and a broadcast within 32 registers.
    static constexpr int sweepTileVectors = 2;
    static constexpr int sweepTileColumns = 12;
    // Columns finished side by side, a multiple of lanes.
    static constexpr int sweepFinishColumns = 16;
    static constexpr int sweepPanelDepth = 256;
    // Short columns: row blocks of 6 by 4 vectors of columns, 24 running
    // sums, 3 column blocks finishing in lockstep.
    static constexpr int shortSweepRows = 6;
    static constexpr int shortSweepVectors = 4;
    static constexpr int shortSweepBlocks = 3;
    // Groups of 256 rows fill a 48 KB buffer.
    static constexpr int shortSweepMaxRows = 256;
    static constexpr int greedyColumnsInFlight = 4;
    static constexpr int greedyColumnsInterleaved = 2;
    // Products: the sweep's 2 vectors by 12 columns; 240 packed columns of a
    // transposed B; panels of X up to 32768 doubles.
    static constexpr int productTileVectors = 2;
    static constexpr int productTileColumns = 12;
    static constexpr int productPackColumns = 240;
    static constexpr int productPanelDoubles = 32768;
    // Sparse products: up to 12 vectors (24 rows) of sums.
    static constexpr int sparseBandVectors = 12;
};

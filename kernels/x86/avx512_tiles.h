#pragma once

// The AVX-512 layer's tile sizes, apart from its intrinsics: the tests run
// the same schedules over an emulated eight-lane layer with them, so that a
// CPU without AVX-512 still checks every tile edge of that path. Chosen by
// timing on Zen 4, where each 512-bit operation runs as two 256-bit halves
// (docs/performance.md has the variants tried).

struct Avx512Tiles {
    static constexpr int lanes = 8;
    // Long columns: a tile of 1 vector of rows by 12 columns; two vectors
    // (24 running sums), or 8 or 16 columns, were slower.
    static constexpr int sweepTileVectors = 1;
    static constexpr int sweepTileColumns = 12;
    // Columns finished side by side, a multiple of lanes.
    static constexpr int sweepFinishColumns = 24;
    // A packed panel of 512 l by 8 rows is 32 KB; 256 was slower, 1024
    // level.
    static constexpr int sweepPanelDepth = 512;
    // Short columns: row blocks of 6 by 1 vector of columns, 3 column blocks
    // finishing in lockstep (24 columns a group). Groups of 256 rows fill a
    // 48 KB buffer; up to there they beat the long-column schedule.
    static constexpr int shortSweepRows = 6;
    static constexpr int shortSweepVectors = 1;
    static constexpr int shortSweepBlocks = 3;
    static constexpr int shortSweepMaxRows = 256;
    // Six columns in flight beat four at k = 16 and 64 on Zen 4.
    static constexpr int greedyColumnsInFlight = 6;
    static constexpr int greedyColumnsInterleaved = 2;
    // Products: a tile of 1 vector of rows by 12 columns, as the long sweep;
    // B's rows packed into columns 240 at a time; panels of X up to 32768
    // doubles (256 KB).
    static constexpr int productTileVectors = 1;
    static constexpr int productTileColumns = 12;
    static constexpr int productPackColumns = 240;
    static constexpr int productPanelDoubles = 32768;
    // Sparse products: up to 4 vectors (32 rows) of sums.
    static constexpr int sparseBandVectors = 4;
};

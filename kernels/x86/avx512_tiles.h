#pragma once

// The AVX-512 layer's tile sizes, apart from its intrinsics: the tests run
// the same schedules over an emulated eight-lane layer with them, so that a
// CPU without AVX-512 still checks every tile edge of that path.

struct Avx512Tiles {
    static constexpr int lanes = 8;
    // A sweep tile of 2 vectors of rows by 12 columns: 24 running sums, two
    // pieces of M and a broadcast within 32 registers.
    static constexpr int sweepTileVectors = 2;
    static constexpr int sweepTileColumns = 12;
    // Columns finished side by side, a multiple of lanes.
    static constexpr int sweepFinishColumns = 24;
    static constexpr int sweepPanelDepth = 256;
    // Short columns: row blocks of 12 by 2 vectors of columns, 24 running
    // sums, 2 column blocks finishing in lockstep.
    static constexpr int shortSweepRows = 12;
    static constexpr int shortSweepVectors = 2;
    static constexpr int shortSweepBlocks = 2;
    static constexpr int greedyColumnsInFlight = 4;
    static constexpr int greedyColumnsInterleaved = 2;
};

#pragma once

#include <cstddef>

// How many columns of C the vector sweeps take through one pass over M.
// Within such a chunk each packed panel of M serves every column group while
// it is still in the L1 cache, and the chunk's columns of X (n·columns
// doubles, about two megabytes) stay near the core between row tiles.
inline std::ptrdiff_t sweepChunkColumns(std::ptrdiff_t rows, std::ptrdiff_t groupColumns) {
    constexpr std::ptrdiff_t chunkDoubles = 256 * 1024;
    std::ptrdiff_t groups = chunkDoubles / (rows * groupColumns);
    if (groups < 1) groups = 1;
    if (groups > 16) groups = 16;
    return groups * groupColumns;
}

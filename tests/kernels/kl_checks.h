#pragma once

// The Kullback-Leibler loops of a kernel table against the reference
// loops, bit for bit: groups of lines of unequal lengths through every
// remainder of an eight-lane vector, with NaN, ±Inf, ±0 and zero models
// among the entries.

#include <cstddef>
#include <vector>

#include <gtest/gtest.h>

#include "bits.h"
#include "kernel_table.h"
#include "random_data.h"
#include "reference_kernels.h"

inline void checkKlLoops(const KernelTable& table, unsigned seed) {
    RandomData random(seed);
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<double> a[klGroup], b[klGroup], v[klGroup];
        KlSlopeLine lines[klGroup];
        for (int g = 0; g < klGroup; ++g) {
            const std::size_t count = random.pick(trial < 200 ? 28 : 70);
            a[g] = random.values(count), b[g] = random.values(count), v[g] = random.values(count);
            lines[g] = {a[g].data(), b[g].data(), v[g].data(), static_cast<std::ptrdiff_t>(count)};
        }
        double sums[2 * klGroup];
        table.klSlopeSums(lines, sums);
        for (int g = 0; g < klGroup; ++g) {
            double weighted, curvature;
            reference::klSlopeSums(a[g].data(), b[g].data(), v[g].data(), lines[g].count,
                                   weighted, curvature);
            ASSERT_TRUE(sameBits(sums[2 * g], weighted) && sameBits(sums[2 * g + 1], curvature))
                << "trial " << trial << ", line " << g << " of " << lines[g].count << " entries";

            const double d = random.value();
            std::vector<double> got = v[g], expected = v[g];
            table.klScaledAdd(got.data(), b[g].data(), d, lines[g].count);
            reference::klScaledAdd(expected.data(), b[g].data(), d, lines[g].count);
            ASSERT_TRUE(sameBits(got, expected)) << "trial " << trial << ", scaled add";
        }
    }
}

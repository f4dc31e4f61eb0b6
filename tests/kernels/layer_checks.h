#pragma once

// What the vector kernels take from an instruction-set layer L, checked lane
// by lane: parts of every length (the remainders of rows and columns), the
// lane minimum of the argmax wherever the minimum sits, the transpose of the
// sweep tiles, and the sign flip and ordered compares on NaN and −0. A
// layer's test source includes this inside its target region, after the
// headers below.

#include <cstddef>
#include <limits>

#include <gtest/gtest.h>

#include "bits.h"

namespace {

template <class L>
void checkLayer() {
    using V = typename L::Vec;
    constexpr int lanes = L::lanes;

    for (std::ptrdiff_t count = -1; count <= lanes + 1; ++count) {
        const std::ptrdiff_t inside = count < 0 ? 0 : count > lanes ? lanes : count;
        const auto part = L::firstLanes(count);
        double source[lanes], loaded[lanes], marked[lanes], stored[lanes + 1];
        for (int i = 0; i < lanes; ++i) source[i] = -(i + 1.0);
        for (double& v : stored) v = 7.0;
        L::store(loaded, L::load(source, part));
        L::store(marked, select(L::inPart(part), V(1.0), V(2.0)));
        L::store(stored, part, L::load(source));
        for (int i = 0; i < lanes; ++i) {
            EXPECT_TRUE(sameBits(loaded[i], i < inside ? source[i] : 0.0)) << count << " lane " << i;
            EXPECT_EQ(marked[i], i < inside ? 1.0 : 2.0) << count << " lane " << i;
            EXPECT_EQ(stored[i], i < inside ? source[i] : 7.0) << count << " lane " << i;
        }
        EXPECT_EQ(stored[lanes], 7.0) << count;
    }

    double numbers[lanes];
    L::store(numbers, L::laneNumbers());
    for (int i = 0; i < lanes; ++i) EXPECT_EQ(numbers[i], i);

    for (int at = 0; at < lanes; ++at) {
        double values[lanes];
        for (int i = 0; i < lanes; ++i) values[i] = i == at ? -5.0 : -i / 16.0;  // −0.0 in lane 0
        EXPECT_EQ(L::smallestLane(L::load(values)), -5.0) << "minimum in lane " << at;
    }
    EXPECT_TRUE(sameBits(L::smallestLane(V(-0.0)), -0.0));

    V block[lanes];
    for (int a = 0; a < lanes; ++a) {
        double row[lanes];
        for (int b = 0; b < lanes; ++b) row[b] = 100.0 * a + b;
        block[a] = L::load(row);
    }
    L::transpose(block);
    for (int a = 0; a < lanes; ++a) {
        double row[lanes];
        L::store(row, block[a]);
        for (int b = 0; b < lanes; ++b) EXPECT_EQ(row[b], 100.0 * b + a) << a << ", " << b;
    }

    const V nan(std::numeric_limits<double>::quiet_NaN()), one(1.0);
    double flipped[lanes], compared[lanes];
    L::store(flipped, -V(0.0));
    L::store(compared, select((nan < one) | (nan > one) | (nan >= one) | (nan == nan), one, V(0.0)));
    // The clamp: a NaN or −0.0 comes back unchanged, as from the select.
    const double clampInputs[] = {std::numeric_limits<double>::quiet_NaN(), -0.0, 0.0, -1.0, 2.0,
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::denorm_min()};
    for (double x : clampInputs) {
        double clamped[lanes];
        L::store(clamped, atLeastZero(V(x)));
        for (int i = 0; i < lanes; ++i)
            EXPECT_TRUE(sameBits(clamped[i], x < 0.0 ? 0.0 : x)) << x << " in lane " << i;
        // smaller is the select a < b ? a : b, whichever operand is NaN or zero.
        for (double y : clampInputs) {
            double least[lanes];
            L::store(least, smaller(V(x), V(y)));
            for (int i = 0; i < lanes; ++i)
                EXPECT_TRUE(sameBits(least[i], x < y ? x : y))
                    << x << ", " << y << " in lane " << i;
        }
    }
    for (int i = 0; i < lanes; ++i) {
        EXPECT_TRUE(sameBits(flipped[i], -0.0)) << "lane " << i;
        EXPECT_EQ(compared[i], 0.0) << "a compare with NaN held in lane " << i;
    }
}

}  // namespace

#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Bit-for-bit equality, except that any NaN matches any NaN.
inline bool sameBits(double a, double b) {
    if (std::isnan(a) && std::isnan(b)) return true;
    std::uint64_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

inline ::testing::AssertionResult sameBits(const std::vector<double>& actual,
                                           const std::vector<double>& expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure()
               << "sizes differ: " << actual.size() << " vs " << expected.size();
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (!sameBits(actual[i], expected[i])) {
            std::ostringstream out;
            out.precision(17);
            out << "first difference at position " << i << ": " << actual[i] << " vs "
                << expected[i];
            return ::testing::AssertionFailure() << out.str();
        }
    }
    return ::testing::AssertionSuccess();
}

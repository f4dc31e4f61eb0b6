// The Kullback-Leibler loops on every path against the reference loops,
// and the fixed-order logarithm against the C library's.
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "kernel_paths.h"
#include "kl_checks.h"
#include "nmf/fixed_log.h"

namespace {

class KlLoops : public EveryPath {};

TEST_P(KlLoops, MatchReference) { checkKlLoops(kernelTable(path()), 28); }

INSTANTIATE_FOR_EVERY_PATH(KlLoops);

// ulps between two finite doubles of one sign.
double ulpsApart(double x, double y) {
    return std::fabs(x - y) / (std::nextafter(std::fabs(y), INFINITY) - std::fabs(y));
}

TEST(FixedLog, IsWithinTwoUnitsInTheLastPlaceEverywhere) {
    std::mt19937_64 engine(5);
    std::uniform_real_distribution<double> mantissa(1.0, 2.0);
    for (int i = 0; i < 200000; ++i) {
        // Every binade, the subnormal ones too, and the neighbourhood of 1.
        const int exponent = static_cast<int>(engine() % 2098) - 1074;
        const double x = i % 4 == 0 ? 1.0 + (mantissa(engine) - 1.5) * 0x1.0p-20
                                    : std::ldexp(mantissa(engine), exponent);
        if (x == 0.0 || x == 1.0) continue;
        ASSERT_LE(ulpsApart(fixedLog(x), std::log(x)), 2.0) << std::hexfloat << x;
    }
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(fixedLog(1.0), 0.0);
    EXPECT_EQ(fixedLog(0.0), -inf);
    EXPECT_EQ(fixedLog(inf), inf);
    EXPECT_TRUE(std::isnan(fixedLog(-1.0)));
    EXPECT_TRUE(std::isnan(fixedLog(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_LE(ulpsApart(fixedLog(std::numeric_limits<double>::denorm_min()),
                        std::log(std::numeric_limits<double>::denorm_min())), 2.0);
}

}  // namespace

// Sizes whose products pass 2^32. Computed in 32 bits (as `long` is on
// Windows) they would wrap to small numbers, pass the checks and let the
// kernel read far beyond the inputs.

#include <string>

#include <gtest/gtest.h>

#include "plugin_calls.h"

using testhost::makeDouble;
using testhost::makeScalar;

namespace {

class SweepSizes : public ::testing::TestWithParam<const char*> {
protected:
    testhost::CallResult call(const mxArray* M, const mxArray* C, double n, double m) const {
        auto lambda = makeScalar(0), rows = makeScalar(n), cols = makeScalar(m);
        return plugin(GetParam()).call(1, {M, C, lambda.get(), rows.get(), cols.get()});
    }
};

TEST_P(SweepSizes, ProductsPastTwoToThe32AreNotWrapped) {
    const std::string tooSmall = std::string(GetParam()) + ":tooSmall";
    auto one = makeDouble(1, 1, {2});
    auto sixteen = makeDouble(4, 4, {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2});

    // n*n = 2^32 wraps to 0.
    auto wideM = call(one.get(), one.get(), 65536, 1);
    ASSERT_TRUE(wideM.error);
    EXPECT_EQ(wideM.error->identifier, tooSmall);
    EXPECT_NE(wideM.error->message.find("4294967296"), std::string::npos) << wideM.error->message;

    // n*m = 4·2^30 = 2^32 wraps to 0, with an M that fits.
    auto wideC = call(sixteen.get(), one.get(), 4, 1 << 30);
    ASSERT_TRUE(wideC.error);
    EXPECT_EQ(wideC.error->identifier, tooSmall);
    EXPECT_NE(wideC.error->message.find("4294967296"), std::string::npos) << wideC.error->message;

    // n*m = 2·(2^31 − 1) is negative as a signed 32-bit product.
    auto negativeC = call(sixteen.get(), one.get(), 2, 2147483647);
    ASSERT_TRUE(negativeC.error);
    EXPECT_EQ(negativeC.error->identifier, tooSmall);
}

INSTANTIATE_TEST_SUITE_P(BothSweeps, SweepSizes, ::testing::Values("hardsweep", "clipsweep"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bits.h"
#include "plugin_calls.h"
#include "random_data.h"
#include "reference_kernels.h"

using testhost::makeDouble;
using testhost::makeScalar;
using testhost::values;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

struct Sweep {
    const char* name;
    reference::Rule rule;
};

std::ostream& operator<<(std::ostream& out, const Sweep& sweep) { return out << sweep.name; }

class SweepGateway : public ::testing::TestWithParam<Sweep> {
protected:
    const char* name() const { return GetParam().name; }

    std::vector<double> expected(const std::vector<double>& M, const std::vector<double>& C,
                                 double lambda, int n, int m) const {
        std::vector<double> X(static_cast<std::size_t>(n) * static_cast<std::size_t>(m));
        reference::forwardSweep(GetParam().rule, X.data(), M.data(), C.data(), lambda, n, m);
        return X;
    }

    testhost::CallResult call(const mxArray* M, const mxArray* C, double lambda, double n,
                              double m) const {
        auto l = makeScalar(lambda), rows = makeScalar(n), cols = makeScalar(m);
        return plugin(name()).call(1, {M, C, l.get(), rows.get(), cols.get()});
    }
};

// A 1×1 array of another class holding `value`.
template <typename T>
testhost::ArrayPtr scalarOfClass(mxClassID classId, T value) {
    auto array = testhost::makeOfClass(classId, 1, 1);
    std::memcpy(mxGetPr(array.get()), &value, sizeof value);
    return array;
}

}  // namespace

TEST_P(SweepGateway, ReturnsTheKernelsSweepAndLeavesInputsAlone) {
    RandomData random(31);
    const int n = 6, m = 4;
    std::vector<double> M = random.values(36), C = random.values(24);
    for (std::size_t j = 0; j < 6; ++j) M[j * 7] = 0.5 + random.uniform();
    auto Ma = makeDouble(n, n, M), Ca = makeDouble(n, m, C);

    auto result = call(Ma.get(), Ca.get(), 0.3, n, m);
    ASSERT_FALSE(result.error) << result.error->message;
    EXPECT_EQ(result.printed, "");
    EXPECT_EQ(mxGetM(result.outputs[0].get()), std::size_t{n});
    EXPECT_EQ(mxGetN(result.outputs[0].get()), std::size_t{m});
    EXPECT_TRUE(sameBits(values(result.outputs[0].get()), expected(M, C, 0.3, n, m)));
    EXPECT_TRUE(sameBits(values(Ma.get()), M));
    EXPECT_TRUE(sameBits(values(Ca.get()), C));

    // M and C as one variable, and as two variables on one storage.
    auto shared = makeDouble(n, n, M);
    auto alias = testhost::shareData(shared.get());
    for (const mxArray* second : {static_cast<const mxArray*>(shared.get()),
                                  static_cast<const mxArray*>(alias.get())}) {
        auto again = call(shared.get(), second, 0.3, n, n);
        ASSERT_FALSE(again.error);
        EXPECT_TRUE(sameBits(values(again.outputs[0].get()), expected(M, M, 0.3, n, n)));
        EXPECT_TRUE(sameBits(values(shared.get()), M));
    }
}

TEST_P(SweepGateway, SizesTruncateAndMIsReadWithLeadingDimensionN) {
    RandomData random(7);
    const std::vector<double> M16 = random.values(16), C = random.values(6);
    auto M = makeDouble(4, 4, M16), Ca = makeDouble(3, 2, C);
    // The first 9 elements of the 4×4 M, taken as a 3×3 matrix.
    const std::vector<double> M9(M16.begin(), M16.begin() + 9);

    auto result = call(M.get(), Ca.get(), 0.25, 3.7, 2.2);
    ASSERT_FALSE(result.error);
    EXPECT_EQ(mxGetM(result.outputs[0].get()), 3u);
    EXPECT_EQ(mxGetN(result.outputs[0].get()), 2u);
    EXPECT_TRUE(sameBits(values(result.outputs[0].get()), expected(M9, C, 0.25, 3, 2)));

    // Zero rows or columns: an empty result of that shape, from empty inputs.
    auto empty = makeDouble(0, 0, {});
    auto noColumns = call(M.get(), empty.get(), 0.25, 3, 0);
    ASSERT_FALSE(noColumns.error);
    EXPECT_EQ(mxGetM(noColumns.outputs[0].get()), 3u);
    EXPECT_EQ(mxGetN(noColumns.outputs[0].get()), 0u);
    auto noColumnsNoData = call(empty.get(), empty.get(), 0.25, 3, 0);
    ASSERT_FALSE(noColumnsNoData.error) << noColumnsNoData.error->identifier;
    EXPECT_EQ(mxGetM(noColumnsNoData.outputs[0].get()), 3u);
    auto noRows = call(empty.get(), empty.get(), 0.25, 0.9, 5);
    ASSERT_FALSE(noRows.error);
    EXPECT_EQ(mxGetM(noRows.outputs[0].get()), 0u);
    EXPECT_EQ(mxGetN(noRows.outputs[0].get()), 5u);
}

TEST_P(SweepGateway, MalformedCallsAreRefusedBeforeAnythingIsAllocated) {
    const std::string id = std::string(name()) + ":";
    auto M = makeDouble(2, 2, {2, 1, 0, 2}), C = makeDouble(2, 3, {1, -1, 2, -2, 0, 3});
    auto lambda = makeScalar(0.5), n = makeScalar(2), m = makeScalar(3);
    const std::vector<const mxArray*> good{M.get(), C.get(), lambda.get(), n.get(), m.get()};
    ASSERT_FALSE(plugin(name()).call(1, good).error);

    EXPECT_TRUE(refusedWith(name(), 1, {good.begin(), good.end() - 2}, id + "nargin"));
    auto extra = good;
    extra.push_back(m.get());
    EXPECT_TRUE(refusedWith(name(), 1, extra, id + "nargin"));
    EXPECT_TRUE(refusedWith(name(), 2, good, id + "nargout"));

    auto complex = testhost::makeComplex(2, 3, std::vector<double>(6, 1), std::vector<double>(6, 0));
    auto sparse = testhost::makeSparse(2, 3, {2, 0, 0, 2, 0, 1});
    auto integer = testhost::makeOfClass(mxINT8_CLASS, 2, 3);
    auto text = testhost::makeOfClass(mxCHAR_CLASS, 1, 6);
    for (std::size_t position = 0; position < good.size(); ++position) {
        // lambda, n and m may be integers; nothing else may be other than double.
        const bool scalar = position >= 2;
        for (const mxArray* bad : {complex.get(), sparse.get(), integer.get(), text.get()}) {
            if (scalar && bad == integer.get()) continue;
            auto inputs = good;
            inputs[position] = bad;
            EXPECT_TRUE(refusedWith(name(), 1, inputs,
                                    id + (scalar ? "notRealNumeric" : "notRealDouble")))
                << "input " << position + 1;
        }
    }

    auto empty = makeDouble(1, 0, {});
    for (std::size_t position : {2u, 3u, 4u}) {
        auto inputs = good;
        inputs[position] = empty.get();
        EXPECT_TRUE(refusedWith(name(), 1, inputs, id + "empty"));
    }

    auto wide = makeDouble(0, std::size_t{1} << 31, {});
    auto inputs = good;
    inputs[0] = wide.get();
    EXPECT_TRUE(refusedWith(name(), 1, inputs, id + "tooLarge"));

    for (double badSize : {-1.0, -1.5, notANumber, inf, -inf, 2147483648.0, -3e9}) {
        auto size = makeScalar(badSize);
        for (std::size_t position : {3u, 4u}) {
            auto sized = good;
            sized[position] = size.get();
            EXPECT_TRUE(refusedWith(name(), 1, sized, id + "badSize")) << badSize;
        }
    }
}

// lambda, n and m are read through the host's scalar conversion, which takes
// the first element of any real numeric or logical array.
TEST_P(SweepGateway, ScalarsOfOtherClassesConvertAsTheHostDoes) {
    RandomData random(5);
    const std::vector<double> M = random.values(9), C = random.values(6);
    auto Ma = makeDouble(3, 3, M), Ca = makeDouble(3, 2, C);
    auto lambda = scalarOfClass(mxSINGLE_CLASS, 0.3f);
    auto n = scalarOfClass(mxINT32_CLASS, std::int32_t{3});
    auto m = scalarOfClass(mxUINT8_CLASS, std::uint8_t{2});
    auto yes = scalarOfClass(mxLOGICAL_CLASS, std::uint8_t{1});

    auto result = plugin(name()).call(1, {Ma.get(), Ca.get(), lambda.get(), n.get(), m.get()});
    ASSERT_FALSE(result.error) << result.error->identifier;
    EXPECT_TRUE(sameBits(values(result.outputs[0].get()), expected(M, C, double{0.3f}, 3, 2)));

    auto oneColumn = plugin(name()).call(1, {Ma.get(), Ca.get(), yes.get(), n.get(), yes.get()});
    ASSERT_FALSE(oneColumn.error) << oneColumn.error->identifier;
    EXPECT_TRUE(sameBits(values(oneColumn.outputs[0].get()), expected(M, C, 1.0, 3, 1)));

    auto negative = scalarOfClass(mxINT8_CLASS, std::int8_t{-1});
    EXPECT_TRUE(refusedWith(name(), 1, {Ma.get(), Ca.get(), lambda.get(), negative.get(), m.get()},
                            std::string(name()) + ":badSize"));
}

TEST_P(SweepGateway, InputsTooSmallForTheSizesAreRefused) {
    // The kernel would read M up to n*n and C up to n*m elements.
    auto M = makeDouble(2, 4, std::vector<double>(8, 1.0));  // 8 < 3*3
    auto M9 = makeDouble(9, 1, std::vector<double>(9, 1.0));
    auto C = makeDouble(3, 1, std::vector<double>(3, 1.0));  // 3 < 3*2
    auto lambda = makeScalar(0), n = makeScalar(3), m = makeScalar(2), one = makeScalar(1);
    const std::string id = std::string(name()) + ":tooSmall";
    EXPECT_TRUE(refusedWith(name(), 1, {M.get(), C.get(), lambda.get(), n.get(), one.get()}, id));
    EXPECT_TRUE(refusedWith(name(), 1, {M9.get(), C.get(), lambda.get(), n.get(), m.get()}, id));
    // Enough elements in any shape will do: M as a 9×1 column, C as 3×1 for m = 1.
    auto fits = plugin(name()).call(1, {M9.get(), C.get(), lambda.get(), n.get(), one.get()});
    EXPECT_FALSE(fits.error);
}

TEST_P(SweepGateway, HostOutOfMemoryIsRefusedWithoutLeaks) {
    auto M = makeDouble(1, 1, {2}), C = makeDouble(1, 1, {-1});
    auto lambda = makeScalar(0), one = makeScalar(1);
    CreationLimit limit(0);
    EXPECT_TRUE(refusedWith(name(), 1, {M.get(), C.get(), lambda.get(), one.get(), one.get()},
                            std::string(name()) + ":outOfMemory"));
}

INSTANTIATE_TEST_SUITE_P(BothSweeps, SweepGateway,
                         ::testing::Values(Sweep{"hardsweep", reference::Rule::hardThreshold},
                                           Sweep{"clipsweep", reference::Rule::nonNegative}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ClipsweepGateway, LambdaDoesNotMatter) {
    RandomData random(3);
    auto M = makeDouble(3, 3, random.values(9)), C = makeDouble(3, 2, random.values(6));
    std::vector<std::vector<double>> results;
    for (double lambda : {0.0, -5.0, 1e300, notANumber}) {
        auto l = makeScalar(lambda), n = makeScalar(3), m = makeScalar(2);
        auto result = plugin("clipsweep").call(1, {M.get(), C.get(), l.get(), n.get(), m.get()});
        ASSERT_FALSE(result.error);
        results.push_back(values(result.outputs[0].get()));
    }
    for (const auto& result : results) EXPECT_TRUE(sameBits(result, results.front()));
}

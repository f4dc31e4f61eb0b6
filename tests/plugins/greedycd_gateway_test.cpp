#include <cmath>
#include <cstdint>
#include <limits>
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

// A k×n problem with a Hessian-like HHt and a gradient that invites moves.
struct Problem {
    int k, n;
    std::vector<double> GW, HHt, W;
};

Problem randomProblem(int k, int n, unsigned seed) {
    RandomData random(seed);
    const std::size_t K = static_cast<std::size_t>(k), N = static_cast<std::size_t>(n);
    Problem p{k, n, {}, std::vector<double>(K * K), {}};
    for (std::size_t a = 0; a < K; ++a)
        for (std::size_t b = 0; b <= a; ++b)
            p.HHt[a + b * K] = p.HHt[b + a * K] = a == b ? 1.0 + 3.0 * random.uniform()
                                                          : random.value(0.0) / 4;
    p.GW = random.values(K * N, 0.02);
    p.W = random.values(K * N, 0.02);
    for (double& w : p.W) w = std::fabs(w);
    return p;
}

struct Expected {
    std::vector<double> W, GW;
};

Expected updated(const Problem& p, double tol, std::int32_t maxinner) {
    Expected e{p.W, p.GW};
    reference::greedyCoordinateUpdate(e.GW.data(), p.HHt.data(), e.W.data(), tol, p.n, p.k,
                                      maxinner);
    return e;
}

testhost::CallResult callGreedy(int nlhs, const std::vector<const mxArray*>& inputs) {
    return plugin("greedycd").call(nlhs, inputs);
}

const char* const usage =
    "Error calling greedycd.\nUsage: Wnew = greedycd(GW, HH^T, W, tol, maxinner)\n";

}  // namespace

TEST(GreedycdGateway, ReturnsTheKernelsFactorAndGradientAndLeavesInputsAlone) {
    const Problem p = randomProblem(7, 5, 11);
    auto GW = makeDouble(7, 5, p.GW);
    auto HHt = makeDouble(7, 7, p.HHt);
    auto W = makeDouble(7, 5, p.W);
    auto tol = makeScalar(1e-3), maxinner = makeScalar(6);
    const Expected expected = updated(p, 1e-3, 6);

    auto result = callGreedy(2, {GW.get(), HHt.get(), W.get(), tol.get(), maxinner.get()});
    ASSERT_FALSE(result.error) << result.error->message;
    EXPECT_EQ(result.printed, "");
    ASSERT_TRUE(result.outputs[0] && result.outputs[1]);
    EXPECT_EQ(mxGetM(result.outputs[0].get()), 7u);
    EXPECT_EQ(mxGetN(result.outputs[0].get()), 5u);
    EXPECT_TRUE(sameBits(values(result.outputs[0].get()), expected.W));
    EXPECT_TRUE(sameBits(values(result.outputs[1].get()), expected.GW));
    EXPECT_TRUE(sameBits(values(W.get()), p.W));
    EXPECT_TRUE(sameBits(values(GW.get()), p.GW));
    EXPECT_TRUE(sameBits(values(HHt.get()), p.HHt));

    // One output: the same factor, and the scratch gradient is not left behind.
    const std::size_t before = testhost::liveArrays();
    auto single = callGreedy(0, {GW.get(), HHt.get(), W.get(), tol.get(), maxinner.get()});
    ASSERT_FALSE(single.error);
    EXPECT_TRUE(sameBits(values(single.outputs[0].get()), expected.W));
    EXPECT_EQ(testhost::liveArrays(), before + 1);
}

TEST(GreedycdGateway, SharedStorageBetweenGradientAndFactorIsNotCorrupted) {
    // GW and W as one variable, and as two variables on one storage.
    Problem p = randomProblem(4, 3, 5);
    for (double& v : p.GW) v = std::fabs(v);
    p.W = p.GW;
    const Expected expected = updated(p, 0.0, 10);

    auto GW = makeDouble(4, 3, p.GW);
    auto alias = testhost::shareData(GW.get());
    auto HHt = makeDouble(4, 4, p.HHt);
    auto tol = makeScalar(0.0), maxinner = makeScalar(10);
    for (const mxArray* W : {static_cast<const mxArray*>(GW.get()),
                             static_cast<const mxArray*>(alias.get())}) {
        auto result = callGreedy(2, {GW.get(), HHt.get(), W, tol.get(), maxinner.get()});
        ASSERT_FALSE(result.error);
        EXPECT_TRUE(sameBits(values(result.outputs[0].get()), expected.W));
        EXPECT_TRUE(sameBits(values(result.outputs[1].get()), expected.GW));
        EXPECT_TRUE(sameBits(values(GW.get()), p.GW));
        EXPECT_TRUE(sameBits(values(alias.get()), p.GW));
    }
}

TEST(GreedycdGateway, MaxinnerTruncatesAndUnconvertibleValuesMakeNoMove) {
    const Problem p = randomProblem(5, 4, 23);
    auto GW = makeDouble(5, 4, p.GW);
    auto HHt = makeDouble(5, 5, p.HHt);
    auto W = makeDouble(5, 4, p.W);
    auto tol = makeScalar(0.0);
    auto run = [&](double maxinner) {
        auto limit = makeScalar(maxinner);
        auto result = callGreedy(2, {GW.get(), HHt.get(), W.get(), tol.get(), limit.get()});
        EXPECT_FALSE(result.error);
        return Expected{values(result.outputs[0].get()), values(result.outputs[1].get())};
    };

    const Expected two = updated(p, 0.0, 2);
    ASSERT_FALSE(sameBits(two.W, p.W)) << "the problem must make moves for this test";
    const Expected got = run(2.9);
    EXPECT_TRUE(sameBits(got.W, two.W));
    EXPECT_TRUE(sameBits(got.GW, two.GW));

    for (double noMove : {0.0, -3.0, notANumber, inf, -inf, 3e9, -3e9}) {
        const Expected still = run(noMove);
        EXPECT_TRUE(sameBits(still.W, p.W)) << "maxinner " << noMove;
        EXPECT_TRUE(sameBits(still.GW, p.GW)) << "maxinner " << noMove;
    }
}

TEST(GreedycdGateway, EmptyFactorsGiveEmptyResultsOfTheSameShape) {
    auto HHt0 = makeDouble(0, 0, {});
    auto HHt2 = makeDouble(2, 2, {1, 0, 0, 1});
    auto tol = makeScalar(0.1), maxinner = makeScalar(5);
    struct Shape { std::size_t k, n; const mxArray* HHt; };
    for (Shape s : {Shape{0, 3, HHt0.get()}, Shape{2, 0, HHt2.get()}}) {
        auto GW = makeDouble(s.k, s.n, {});
        auto W = makeDouble(s.k, s.n, {});
        auto result = callGreedy(1, {GW.get(), s.HHt, W.get(), tol.get(), maxinner.get()});
        ASSERT_FALSE(result.error);
        EXPECT_EQ(result.printed, "");
        EXPECT_EQ(mxGetM(result.outputs[0].get()), s.k);
        EXPECT_EQ(mxGetN(result.outputs[0].get()), s.n);
    }
}

TEST(GreedycdGateway, ShapeMismatchPrintsTheUsageBlocksThenRefuses) {
    auto GW = makeDouble(2, 3, std::vector<double>(6, 1.0));
    auto HHt = makeDouble(2, 2, {2, 0, 0, 2});
    auto HHtWrong = makeDouble(3, 2, std::vector<double>(6, 1.0));
    auto W = makeDouble(2, 3, std::vector<double>(6, 1.0));
    auto WWrong = makeDouble(3, 2, std::vector<double>(6, 1.0));
    auto tol = makeScalar(0.1), maxinner = makeScalar(5);
    const std::string blockA = std::string(usage) + "Error: 3 2 HH^T should be a 2 by 2 matrix\n";
    const std::string blockB = std::string(usage) + "Error: W should be a 2 by 3 matrix";

    EXPECT_TRUE(refusedWith("greedycd", 1,
                            {GW.get(), HHtWrong.get(), W.get(), tol.get(), maxinner.get()},
                            "greedycd:shape", blockA));
    EXPECT_TRUE(refusedWith("greedycd", 1,
                            {GW.get(), HHt.get(), WWrong.get(), tol.get(), maxinner.get()},
                            "greedycd:shape", blockB));
    EXPECT_TRUE(refusedWith("greedycd", 1,
                            {GW.get(), HHtWrong.get(), WWrong.get(), tol.get(), maxinner.get()},
                            "greedycd:shape", blockA + blockB));
    // Right row count, one column too many.
    auto WWide = makeDouble(2, 4, std::vector<double>(8, 1.0));
    EXPECT_TRUE(refusedWith("greedycd", 1,
                            {GW.get(), HHt.get(), WWide.get(), tol.get(), maxinner.get()},
                            "greedycd:shape", blockB));

    // The error names only the inputs that are wrong.
    auto messageFor = [&](const mxArray* hessian, const mxArray* factor) {
        auto result = plugin("greedycd").call(1, {GW.get(), hessian, factor, tol.get(), maxinner.get()});
        return result.error ? result.error->message : std::string("no error");
    };
    EXPECT_EQ(messageFor(HHtWrong.get(), W.get()),
              "HH^T is 3 by 2; it must be 2 by 2 (GW is 2 by 3)");
    EXPECT_EQ(messageFor(HHt.get(), WWide.get()), "W is 2 by 4; it must be 2 by 3 (GW is 2 by 3)");
    EXPECT_EQ(messageFor(HHtWrong.get(), WWrong.get()),
              "HH^T is 3 by 2 and W is 3 by 2; they must be 2 by 2 and 2 by 3 (GW is 2 by 3)");
}

TEST(GreedycdGateway, MalformedCallsAreRefusedBeforeAnythingIsAllocated) {
    auto GW = makeDouble(2, 2, {1, 2, 3, 4});
    auto HHt = makeDouble(2, 2, {2, 0, 0, 2});
    auto W = makeDouble(2, 2, {1, 1, 1, 1});
    auto tol = makeScalar(0.1), maxinner = makeScalar(5);
    const std::vector<const mxArray*> good{GW.get(), HHt.get(), W.get(), tol.get(),
                                           maxinner.get()};

    EXPECT_TRUE(refusedWith("greedycd", 1, {}, "greedycd:nargin"));
    EXPECT_TRUE(refusedWith("greedycd", 1, {good.begin(), good.end() - 1}, "greedycd:nargin"));
    auto extra = good;
    extra.push_back(tol.get());
    EXPECT_TRUE(refusedWith("greedycd", 1, extra, "greedycd:nargin"));
    EXPECT_TRUE(refusedWith("greedycd", 3, good, "greedycd:nargout"));

    auto complex = testhost::makeComplex(2, 2, {1, 2, 3, 4}, {0, 0, 0, 1});
    auto sparse = testhost::makeSparse(2, 2, {1, 0, 0, 1});
    auto single = testhost::makeOfClass(mxSINGLE_CLASS, 2, 2);
    auto integer = testhost::makeOfClass(mxINT32_CLASS, 2, 2);
    auto logical = testhost::makeOfClass(mxLOGICAL_CLASS, 1, 1);
    for (std::size_t position = 0; position < good.size(); ++position) {
        for (const mxArray* bad : {complex.get(), sparse.get(), single.get(), integer.get(),
                                   logical.get()}) {
            auto inputs = good;
            inputs[position] = bad;
            EXPECT_TRUE(refusedWith("greedycd", 1, inputs, "greedycd:notRealDouble"))
                << "input " << position + 1;
        }
    }

    auto empty = makeDouble(0, 1, {});
    for (std::size_t position : {3u, 4u}) {
        auto inputs = good;
        inputs[position] = empty.get();
        EXPECT_TRUE(refusedWith("greedycd", 1, inputs, "greedycd:empty"));
    }

    // 2^31 rows of nothing: no storage, but a count the kernel cannot take.
    auto tall = makeDouble(std::size_t{1} << 31, 0, {});
    for (std::size_t position = 0; position < 3; ++position) {
        auto inputs = good;
        inputs[position] = tall.get();
        EXPECT_TRUE(refusedWith("greedycd", 1, inputs, "greedycd:tooLarge"));
    }
}

TEST(GreedycdGateway, HostOutOfMemoryIsRefusedWithoutLeaks) {
    auto GW = makeDouble(2, 2, {1, 2, 3, 4});
    auto HHt = makeDouble(2, 2, {2, 0, 0, 2});
    auto W = makeDouble(2, 2, {1, 1, 1, 1});
    auto tol = makeScalar(0.1), maxinner = makeScalar(5);
    const std::vector<const mxArray*> inputs{GW.get(), HHt.get(), W.get(), tol.get(),
                                             maxinner.get()};
    for (long long allowed : {0, 1}) {
        CreationLimit limit(allowed);
        EXPECT_TRUE(refusedWith("greedycd", 1, inputs, "greedycd:outOfMemory"))
            << allowed << " array(s) allowed";
    }
}

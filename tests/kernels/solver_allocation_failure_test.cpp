// The solvers take every buffer from nothrow new[]; this binary makes the
// n-th request fail, for every n a run makes. Each run must then report
// outOfMemory, or, when the failure spared it, give the unfailed run's bits.

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "bits.h"
#include "failing_allocator.h"
#include "greedy_nmf.h"

namespace {

enum class Fit { leastSquares, kl, masked };

struct Problem {
    std::vector<std::int64_t> start{0}, row;
    std::vector<double> values, Wt, H, weight;
    NmfWeights<std::int64_t> weights{nullptr, nullptr, nullptr};
    NmfMatrix<std::int64_t> A{30, 20, nullptr, nullptr, nullptr};
};

// A sparse 30×20 problem at rank 3, and its start; masked, observed at
// its stored entries, a few weighted 2.
Problem problem(Fit fit) {
    Problem p;
    for (int j = 0; j < 20; ++j) {
        for (int i = 0; i < 30; ++i)
            if ((i + 2 * j) % 3 == 0) p.row.push_back(i), p.values.push_back(1 + (i * j) % 5);
        p.start.push_back(static_cast<std::int64_t>(p.row.size()));
    }
    p.A = {30, 20, p.values.data(), p.start.data(), p.row.data()};
    if (fit == Fit::masked) {
        for (std::size_t t = 0; t < p.values.size(); ++t) p.weight.push_back(t % 7 == 0 ? 2.0 : 1.0);
        p.weights = {p.weight.data(), p.start.data(), p.row.data()};
        p.A.weights = &p.weights;
    }
    p.Wt.resize(3 * 30), p.H.resize(3 * 20);
    nmfRandomStart(p.A, 3, 1, p.Wt.data(), p.H.data());
    return p;
}

class SolverAllocationFailure : public ::testing::TestWithParam<Fit> {};

TEST_P(SolverAllocationFailure, EveryFailureIsReportedOrHarmless) {
    NmfOptions options;
    const Fit fit = GetParam();
    options.loss = fit == Fit::kl ? NmfLoss::kl : NmfLoss::leastSquares;
    options.maxiter = 4;
    options.maxinner = 3;
    options.threads = 3;
    options.l1W = 0.5;  // a penalised run forms its residual once more at the end
    Problem expected = problem(fit);
    NmfRun run;
    const long long before = failing_allocator::arrayRequests;
    ASSERT_EQ(greedyNmf(expected.A, 3, expected.Wt.data(), expected.H.data(), options, run),
              NmfStatus::done);
    const int requests = static_cast<int>(failing_allocator::arrayRequests - before);
    ASSERT_GT(requests, 5);
    for (int n = 0; n <= requests; ++n) {
        Problem p = problem(fit);
        NmfRun failed;
        NmfStatus status;
        {
            failing_allocator::FailAfter failure(n);
            status = greedyNmf(p.A, 3, p.Wt.data(), p.H.data(), options, failed);
        }
        if (n < requests) {
            EXPECT_EQ(status, NmfStatus::outOfMemory) << "request " << n << " failed";
        } else {
            ASSERT_EQ(status, NmfStatus::done);
            EXPECT_TRUE(sameBits(p.Wt, expected.Wt) && sameBits(p.H, expected.H));
        }
    }

    NmfProjectOptions project;
    project.loss = options.loss;
    project.maxinner = 3;
    project.threads = 3;
    // A kl projection needs W·H positive where A is: from the fitted H.
    const std::vector<double> start = fit == Fit::kl ? expected.H : std::vector<double>(3 * 20, 0.0);
    std::vector<double> H = start;
    NmfProjectRun projected;
    ASSERT_EQ(nmfProject(expected.A, 3, expected.Wt.data(), H.data(), project, projected),
              NmfStatus::done);
    for (int n = 0; n < 3; ++n) {
        std::vector<double> untouched = start;
        failing_allocator::FailAfter failure(n);
        EXPECT_EQ(nmfProject(expected.A, 3, expected.Wt.data(), untouched.data(), project, projected),
                  NmfStatus::outOfMemory);
    }
}

INSTANTIATE_TEST_SUITE_P(Fits, SolverAllocationFailure,
                         ::testing::Values(Fit::leastSquares, Fit::kl, Fit::masked),
                         [](const ::testing::TestParamInfo<Fit>& info) {
                             return info.param == Fit::kl       ? "kl"
                                    : info.param == Fit::masked ? "masked"
                                                                : "leastSquares";
                         });

}  // namespace

// The golden runs of the solvers (nmf_golden_runs.h) on every path at every
// thread count, each step cut into as many parts as it has columns.

#include <gtest/gtest.h>

#include "kernel_paths.h"
#include "nmf_golden_runs.h"

namespace {

class GoldenNmfPaths : public EveryPath {};

TEST_P(GoldenNmfPaths, EveryPathGivesTheHashesAtEveryThreadCount) {
    const SolverSetup setup = golden::cutEverywhere(solverSetupOn(path()));
    for (const golden::Run& run : golden::runs)
        for (int threads : golden::threadCounts) {
            const golden::Outcome outcome = golden::outcomeOf(run, setup, threads);
            EXPECT_TRUE(outcome.done);
            EXPECT_EQ(outcome.threads, threads);
            EXPECT_EQ(outcome.hash, run.hash)
                << (run.kl ? "kl, " : "") << (run.projection ? "projection, " : "")
                << (run.sparse ? "sparse" : "dense")
                << (run.extrapolate ? ", extrapolated" : "") << (run.l1H != 0 ? ", penalised" : "")
                << ", " << threads << " threads";
        }
}

INSTANTIATE_FOR_EVERY_PATH(GoldenNmfPaths);

}  // namespace

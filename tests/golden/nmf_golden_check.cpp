// The golden runs of the solvers (nmf_golden_runs.h) on every path this CPU
// can execute, at every thread count, as a plain program: for a build whose
// standard library has no <mutex>, which GoogleTest needs (MinGW-w64's
// win32 thread model). Prints each mismatch; exits 1 on any.

#include <cstdio>

#include "kernel_path.h"
#include "nmf_golden_runs.h"

int main() {
    int failures = 0, checked = 0;
    for (KernelPath path : allKernelPaths) {
        if (!kernelPathAvailable(path)) {
            std::printf("%s: not available on this CPU, skipped\n", kernelPathName(path));
            continue;
        }
        const SolverSetup setup = golden::cutEverywhere(solverSetupOn(path));
        for (const golden::Run& run : golden::runs)
            for (int threads : golden::threadCounts) {
                const golden::Outcome outcome = golden::outcomeOf(run, setup, threads);
                ++checked;
                if (outcome.done && outcome.threads == threads && outcome.hash == run.hash) continue;
                ++failures;
                std::printf("%s, %s%s %s%s, %d threads: hash %08x (expected %08x), %s, %d threads ran\n",
                            kernelPathName(path), run.kl ? "kl " : run.masked ? "masked " : "",
                            run.projection ? "projection" : "factorisation",
                            run.sparse ? "sparse" : "dense", run.extrapolate ? " extrapolated" : "",
                            threads, outcome.hash, run.hash, outcome.done ? "done" : "out of memory",
                            outcome.threads);
            }
    }
    std::printf("%d of %d golden runs gave their hashes\n", checked - failures, checked);
    return failures == 0 && checked > 0 ? 0 : 1;
}

// Times the reference loops, every kernel path and OpenBLAS side by side in
// one run, then prints how many times faster each path is. A hard-threshold
// sweep with lambda = −Inf keeps every entry: it is a forward substitution
// with the arithmetic volume of dtrsm on the same shape.

#include <cblas.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench_problems.h"
#include "forward_sweep.h"
#include "greedy_coordinate_update.h"
#include "kernel_path.h"
#include "products.h"
#include "reference_kernels.h"

namespace {

constexpr double minusInf = -std::numeric_limits<double>::infinity();

struct Shape {
    std::int32_t rows, columns;
    std::string name() const { return std::to_string(rows) + "x" + std::to_string(columns); }
};

const Shape sweepShapes[] = {{1000, 1000}, {64, 200000}, {200, 20000}};
// Ranks that are not a multiple of the vector width (20, 25) beside those
// that are, at about the same k·n.
const Shape greedyShapes[] = {{16, 100000}, {20, 80000}, {25, 64000}, {64, 20000}, {256, 4000}};
const Shape perMoveShapes[] = {{16, 20000}, {20, 16000}, {24, 13333}, {25, 12800},
                               {64, 5000},  {256, 1250}};
constexpr double greedyTol = 1e-3;

void registerSweeps() {
    for (const Shape& shape : sweepShapes) {
        // Shared by the benchmarks of this shape; they run one after another.
        auto* problem = new SweepProblem(makeSweepProblem(shape.rows, shape.columns, 1));
        auto* X = new std::vector<double>(problem->C.size());
        const std::string prefix = "sweep/" + shape.name() + "/";

        benchmark::RegisterBenchmark((prefix + "reference").c_str(), [=](benchmark::State& state) {
            for (auto _ : state)
                reference::forwardSweep(reference::Rule::hardThreshold, X->data(),
                                        problem->M.data(), problem->C.data(), minusInf,
                                        problem->n, problem->m);
        })->Unit(benchmark::kMillisecond);

        for (KernelPath path : allKernelPaths) {
            if (!kernelPathAvailable(path)) continue;
            benchmark::RegisterBenchmark(
                (prefix + kernelPathName(path)).c_str(), [=](benchmark::State& state) {
                    for (auto _ : state)
                        if (!hardThresholdSweepOn(path, X->data(), problem->M.data(),
                                                  problem->C.data(), minusInf, problem->n,
                                                  problem->m)) {
                            state.SkipWithError("path refused");
                            break;
                        }
                })->Unit(benchmark::kMillisecond);
        }

        // dtrsm solves in place, so each solve starts from a fresh copy of −C
        // (copied outside the timed region).
        benchmark::RegisterBenchmark((prefix + "dtrsm").c_str(), [=](benchmark::State& state) {
            for (auto _ : state) {
                state.PauseTiming();
                std::transform(problem->C.begin(), problem->C.end(), X->begin(),
                               [](double c) { return -c; });
                state.ResumeTiming();
                cblas_dtrsm(CblasColMajor, CblasLeft, CblasLower, CblasNoTrans, CblasNonUnit,
                            problem->n, problem->m, 1.0, problem->M.data(), problem->n,
                            X->data(), problem->n);
            }
        })->Unit(benchmark::kMillisecond);
    }
}

// The reference loop and every path on one greedy problem. Every run starts
// from the same GW and W (restored outside the timed region). With a
// rowMoves count, each benchmark also reports its time per row-move.
void registerGreedyCase(const std::string& prefix, const Shape& shape, double tol,
                        std::int32_t maxinner, double rowMoves = 0) {
    auto* problem = new GreedyBenchProblem(makeGreedyProblem(shape.rows, shape.columns, 2));
    auto* GW = new std::vector<double>(problem->GW.size());
    auto* W = new std::vector<double>(problem->W.size());
    const std::int32_t k = problem->k, n = problem->n;
    auto restore = [=](benchmark::State& state) {
        state.PauseTiming();
        *GW = problem->GW;
        *W = problem->W;
        state.ResumeTiming();
    };
    auto perRowMove = [=](benchmark::State& state) {
        if (rowMoves > 0)
            state.counters["per_row_move"] = benchmark::Counter(
                rowMoves, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    };

    benchmark::RegisterBenchmark((prefix + "reference").c_str(), [=](benchmark::State& state) {
        for (auto _ : state) {
            restore(state);
            reference::greedyCoordinateUpdate(GW->data(), problem->HHt.data(), W->data(), tol, n,
                                              k, maxinner);
        }
        perRowMove(state);
    })->Unit(benchmark::kMillisecond);

    for (KernelPath path : allKernelPaths) {
        if (!kernelPathAvailable(path)) continue;
        benchmark::RegisterBenchmark(
            (prefix + kernelPathName(path)).c_str(), [=](benchmark::State& state) {
                for (auto _ : state) {
                    restore(state);
                    if (!greedyCoordinateUpdateOn(path, GW->data(), problem->HHt.data(),
                                                  W->data(), tol, n, k, maxinner)) {
                        state.SkipWithError("no memory for the scratch vectors");
                        break;
                    }
                }
                perRowMove(state);
            })->Unit(benchmark::kMillisecond);
    }
}

void registerGreedy() {
    for (const Shape& shape : greedyShapes)
        registerGreedyCase("greedy/" + shape.name() + "/", shape, greedyTol, shape.rows);

    // Exactly maxinner moves in every column: a negative tol never stops one,
    // and on these problems every column still has a move that lowers the
    // objective after 16. Time per row-move is then time / (n * 16 * k).
    constexpr std::int32_t moves = 16;
    for (const Shape& shape : perMoveShapes)
        registerGreedyCase("greedy_moves/" + shape.name() + "/", shape, -1.0, moves,
                           double{moves} * shape.rows * shape.columns);
}

// The products greedynmf makes at k = 20, as X·A and X·Aᵀ, on Fashion-MNIST's
// shape and a tall one, against OpenBLAS's dgemm as Octave calls it (A*H'
// for X·Aᵀ, then transposed, which is only k×m).
struct ProductShape {
    std::ptrdiff_t k, m, n;  // A is m×n
    std::string name() const {
        return std::to_string(k) + "x" + std::to_string(m) + "x" + std::to_string(n);
    }
};
// {20, 20, 20000}: X·A is HHᵀ·Wᵀ and X·Aᵀ a Gram matrix, as a sparse iteration makes them.
const ProductShape productShapes[] = {{20, 10000, 784}, {20, 200000, 500}, {20, 20, 20000}};

void registerProducts() {
    for (const ProductShape& shape : productShapes) {
        const std::ptrdiff_t k = shape.k, m = shape.m, n = shape.n;
        auto* A = new std::vector<double>(makeUniform(m * n, 3));
        auto* W = new std::vector<double>(makeUniform(k * m, 4));  // k×m, as Wᵀ
        auto* H = new std::vector<double>(makeUniform(k * n, 5));
        auto* P = new std::vector<double>(k * (m > n ? m : n));
        for (bool transposed : {false, true}) {
            const std::string prefix =
                std::string(transposed ? "product_XAt/" : "product_XA/") + shape.name() + "/";
            for (KernelPath path : allKernelPaths) {
                if (!kernelPathAvailable(path)) continue;
                benchmark::RegisterBenchmark(
                    (prefix + kernelPathName(path)).c_str(), [=](benchmark::State& state) {
                        for (auto _ : state) {
                            const bool ran =
                                transposed
                                    ? fullTimesTransposedOn(path, P->data(), H->data(), A->data(), k, m, n)
                                    : fullTimesFullOn(path, P->data(), W->data(), A->data(), k, m, n);
                            if (!ran) {
                                state.SkipWithError("path refused");
                                break;
                            }
                        }
                    })->Unit(benchmark::kMillisecond);
            }
            benchmark::RegisterBenchmark((prefix + "dgemm").c_str(), [=](benchmark::State& state) {
                for (auto _ : state) {
                    if (transposed)
                        cblas_dgemm(CblasColMajor, CblasNoTrans, CblasTrans, m, k, n, 1.0, A->data(),
                                    m, H->data(), k, 0.0, P->data(), m);
                    else
                        cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, k, n, m, 1.0,
                                    W->data(), k, A->data(), m, 0.0, P->data(), k);
                }
            })->Unit(benchmark::kMillisecond);
        }
    }
}

// Prints the usual table, and keeps each benchmark's best time for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const double seconds = run.GetAdjustedCPUTime();  // robust to sharing the machine
            auto [entry, inserted] = best_.emplace(run.benchmark_name(), seconds);
            if (!inserted) entry->second = std::min(entry->second, seconds);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Where another path beat the one dispatch picks by more than 3 %.
    void printDispatchCheck() const {
        std::printf("\nThe dispatched path against the fastest path of this CPU, best CPU time:\n");
        bool allWithin = true;
        for (const auto& [name, time] : best_) {
            const auto slash = name.rfind('/');
            const std::string shape = name.substr(0, slash), path = name.substr(slash + 1);
            const Kernel kernel = shape.rfind("sweep", 0) == 0     ? Kernel::sweep
                                  : shape.rfind("product", 0) == 0 ? Kernel::product
                                                                   : Kernel::greedyUpdate;
            if (path != kernelPathName(dispatchedPath(kernel))) continue;
            std::string fastest = path;
            double fastestTime = time;
            for (KernelPath other : allKernelPaths) {
                const double t = timeOf(shape + "/" + kernelPathName(other));
                if (t < fastestTime) {
                    fastestTime = t;
                    fastest = kernelPathName(other);
                }
            }
            const double slower = time / fastestTime - 1;
            if (slower > 0.03) {
                allWithin = false;
                std::printf("%-22s dispatched %s is %.1f %% slower than %s\n", shape.c_str(),
                            path.c_str(), 100 * slower, fastest.c_str());
            } else {
                std::printf("%-22s dispatched %s is within 3 %% of the fastest\n", shape.c_str(),
                            path.c_str());
            }
        }
        if (!allWithin)
            std::printf("Another path is faster here by more than 3 %%: the dispatch table in "
                        "kernels/kernel_path.cpp may need a row for this CPU.\n");
    }

    void printRatios() const {
        std::printf("\nHow many times faster than the reference loop and than OpenBLAS (dtrsm "
                    "or dgemm), best CPU time of the runs:\n");
        std::printf("%-26s %-8s %12s %12s\n", "kernel/shape", "path", "vs reference", "vs OpenBLAS");
        for (const auto& [name, time] : best_) {
            const auto slash = name.rfind('/');
            const std::string shape = name.substr(0, slash), path = name.substr(slash + 1);
            if (path == "reference" || path == "dtrsm" || path == "dgemm") continue;
            std::printf("%-26s %-8s %12.2f", shape.c_str(), path.c_str(),
                        timeOf(shape + "/reference") / time);
            for (const char* peer : {"/dtrsm", "/dgemm"})
                if (best_.count(shape + peer)) std::printf(" %12.2f", timeOf(shape + peer) / time);
            std::printf("\n");
        }
    }

private:
    double timeOf(const std::string& name) const {
        auto it = best_.find(name);
        return it == best_.end() ? std::numeric_limits<double>::quiet_NaN() : it->second;
    }
    std::map<std::string, double> best_;
};

}  // namespace

int main(int argc, char** argv) {
    openblas_set_num_threads(1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    for (Kernel kernel : allKernels)
        std::printf("dispatched path for the %s: %s\n", kernelName(kernel),
                    kernelPathName(dispatchedPath(kernel)));
    std::printf("OpenBLAS core: %s\n", openblas_get_corename());
    registerSweeps();
    registerGreedy();
    registerProducts();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    reporter.printDispatchCheck();
    benchmark::Shutdown();
}

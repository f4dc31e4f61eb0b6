// [Wt, H, trace, summary] = nmfsolve(A, Wt0, H0, settings[, weights])  (task 1)
// [H, trace, summary] = nmfsolve(A, Wt, H0, settings[, weights])        (task 2)
// u = nmfsolve(count, [], [], settings)                               (task 3)
//
// The engine of greedynmf (task 1, the factorisation), greedynmf_project
// (task 2) and the toolkit's seeded draws (task 3): reads A, the factors,
// the settings row and the weights, runs the compiled solver, and
// returns. nmfsolve.m lists the settings.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "arguments.h"
#include "greedy_nmf.h"
#include "mex.h"
#include "products.h"

namespace {

constexpr const char* plugin = "nmfsolve";

// The settings row, slot by slot.
enum Slot {
    task, rank, seed, maxiter, tol, maxtime, elapsed, maxinner, innerTol, extrapolate,
    l1W, l2W, l1H, l2H, threads, verbose, objectiveScale, loss, slotCount
};
enum Task { factorise = 1, project = 2, draw = 3 };

// The largest team a call may ask for.
constexpr double threadLimit = 4096;

struct Settings {
    const double* value;
    double operator[](Slot slot) const { return value[slot]; }
};

bool isWhole(double v) { return std::isfinite(v) && v == std::floor(v); }
bool isCountUpTo(double v, double largest) { return isWhole(v) && v >= 0 && v <= largest; }
bool isWeight(double v) { return std::isfinite(v) && v >= 0; }

// The name of the first slot whose value is out of range, or none.
const char* badSlot(const Settings& s) {
    if (!(s[task] == factorise || s[task] == project || s[task] == draw)) return "task (1, 2 or 3)";
    if (!isCountUpTo(s[rank], 2147483647.0) || s[rank] < 1) return "rank (1 to 2^31 - 1)";
    if (!(std::isnan(s[seed]) || isCountUpTo(s[seed], 9007199254740992.0)))
        return "seed (NaN, or an integer from 0 to 2^53)";
    if (!(isCountUpTo(s[maxiter], 9007199254740992.0) || (std::isinf(s[maxiter]) && s[maxiter] > 0)))
        return "maxiter (an integer of at least 0, or Inf)";
    if (!isWeight(s[tol])) return "tol (finite, at least 0)";
    if (!(s[maxtime] > 0)) return "maxtime (positive or Inf)";
    if (!isWeight(s[elapsed])) return "elapsed (finite, at least 0)";
    if (!isCountUpTo(s[maxinner], 2147483647.0) || s[maxinner] < 1)
        return "maxinner (1 to 2^31 - 1)";
    if (!isWeight(s[innerTol])) return "inner_tol (finite, at least 0)";
    if (!(s[extrapolate] == 0 || s[extrapolate] == 1)) return "extrapolate (0 or 1)";
    for (Slot weight : {l1W, l2W, l1H, l2H})
        if (!isWeight(s[weight])) return "a penalty weight (finite, at least 0)";
    if (!isCountUpTo(s[threads], threadLimit) || s[threads] < 1) return "threads (1 to 4096)";
    if (!(s[verbose] == 0 || s[verbose] == 1)) return "verbose (0 or 1)";
    if (!isCountUpTo(std::fabs(s[objectiveScale]), 4096)) return "objective scale (an integer)";
    if (!(s[loss] == 0 || s[loss] == 1)) return "loss (0 for least squares, 1 for kl)";
    return nullptr;
}

NmfOptions factorisationOptions(const Settings& s) {
    NmfOptions o;
    o.loss = s[loss] == 1 ? NmfLoss::kl : NmfLoss::leastSquares;
    o.maxiter = s[maxiter];
    o.tol = s[tol];
    o.maxtime = s[maxtime];
    o.elapsed = s[elapsed];
    o.maxinner = static_cast<std::int32_t>(s[maxinner]);
    o.innerTol = s[innerTol];
    o.extrapolate = s[extrapolate] == 1;
    o.l1W = s[l1W], o.l2W = s[l2W], o.l1H = s[l1H], o.l2H = s[l2H];
    o.threads = static_cast<int>(s[threads]);
    return o;
}

NmfProjectOptions projectionOptions(const Settings& s) {
    NmfProjectOptions o;
    o.loss = s[loss] == 1 ? NmfLoss::kl : NmfLoss::leastSquares;
    o.maxiter = s[maxiter];
    o.tol = s[tol];
    o.maxinner = static_cast<std::int32_t>(s[maxinner]);
    o.innerTol = s[innerTol];
    o.l1H = s[l1H], o.l2H = s[l2H];
    o.threads = static_cast<int>(s[threads]);
    return o;
}

// The verbose lines, f in A's own units; a kl run has no relative error
// until its end.
void printIteration(void* context, const NmfIteration& it) {
    const double scale = *static_cast<const double*>(context);
    const double f = std::ldexp(it.objective, static_cast<int>(scale));
    const bool kl = std::isnan(it.relativeError);
    if (it.iteration == 0) {
        if (kl) {
            mexPrintf("%6s %14s %11s %10s\n", "iter", "objective", "rel.change", "time (s)");
            mexPrintf("%6d %14.7g %11s %10.3g\n", 0, f, "", it.seconds);
        } else {
            mexPrintf("%6s %14s %10s %11s %10s\n", "iter", "objective", "rel.error",
                      "rel.change", "time (s)");
            mexPrintf("%6d %14.7g %10.4g %11s %10.3g\n", 0, f, it.relativeError, "", it.seconds);
        }
        return;
    }
    const long long iteration = static_cast<long long>(it.iteration);
    if (kl) {
        mexPrintf("%6lld %14.7g %11.3e %10.3g\n", iteration, f, it.change, it.seconds);
        return;
    }
    mexPrintf("%6lld %14.7g %10.4g %11.3e %10.3g%s\n", iteration, f, it.relativeError, it.change,
              it.seconds, it.undone ? "  undone (f rose from the pushed start)" : "");
}

// Why a task failed: the identifier's reason and the message.
struct Failure {
    const char* reason;
    const char* message;
};

Failure failureOf(NmfStatus status) {
    if (status == NmfStatus::zeroModel)
        return {"zeroModel", "the start's W*H is 0 where A is positive, so the divergence is "
                             "infinite there: give a start that is positive there"};
    if (status == NmfStatus::weightsUnderKl)  // refused before the solver is called
        return {"badWeights", "weights apply to the least-squares loss only"};
    return {"outOfMemory", "no memory for the solver's work"};
}

mxArray* matrix(std::ptrdiff_t rows, std::ptrdiff_t columns) {
    return arguments::newMatrix(static_cast<std::size_t>(rows), static_cast<std::size_t>(columns));
}

// A new rows×columns copy of `source`, or of nothing (a zero matrix).
mxArray* copyOf(const mxArray* source, std::ptrdiff_t rows, std::ptrdiff_t columns) {
    mxArray* copy = matrix(rows, columns);
    if (copy && rows * columns > 0)
        std::memcpy(mxGetPr(copy), mxGetPr(source),
                    static_cast<std::size_t>(rows * columns) * sizeof(double));
    return copy;
}

mxArray* rowOf(const std::vector<double>& values) {
    mxArray* row = matrix(1, static_cast<std::ptrdiff_t>(values.size()));
    if (row && !values.empty()) std::memcpy(mxGetPr(row), values.data(), values.size() * sizeof(double));
    return row;
}

void destroy(mxArray** arrays, int count) {
    for (int i = 0; i < count; ++i) mxDestroyArray(arrays[i]);
}

double stopCode(NmfStop stop) {
    return stop == NmfStop::tol ? 0 : stop == NmfStop::maxiter ? 1 : 2;
}

// Runs the task into outputs[0 …]; the failure, or none (a null reason).
// Every object the solver made is gone when this returns.
template <typename Index>
Failure runTask(const Settings& s, const NmfMatrix<Index>& A, std::ptrdiff_t k,
                    const mxArray* Wt0, const mxArray* H0, mxArray** outputs) {
    const std::ptrdiff_t m = A.m, n = A.n;
    if (s[task] == factorise) {
        mxArray* Wt = Wt0 ? copyOf(Wt0, k, m) : matrix(k, m);
        mxArray* H = H0 ? copyOf(H0, k, n) : matrix(k, n);
        if (!Wt || !H) {
            mxDestroyArray(Wt), mxDestroyArray(H);
            return {"outOfMemory", "no memory for the factors"};
        }
        if (!Wt0) nmfRandomStart(A, k, static_cast<std::uint64_t>(s[seed]), mxGetPr(Wt), mxGetPr(H));
        NmfRun run;
        double scale = s[objectiveScale];
        const NmfStatus status =
            greedyNmf(A, k, mxGetPr(Wt), mxGetPr(H), factorisationOptions(s), run,
                      s[verbose] == 1 ? printIteration : nullptr, &scale);
        outputs[0] = Wt, outputs[1] = H;
        outputs[2] = matrix(2, static_cast<std::ptrdiff_t>(run.objective.size()));
        outputs[3] = matrix(1, 4);
        if (status != NmfStatus::done || !outputs[2] || !outputs[3]) {
            destroy(outputs, 4);
            return failureOf(status);
        }
        double* trace = mxGetPr(outputs[2]);
        for (std::size_t i = 0; i < run.objective.size(); ++i)
            trace[2 * i] = run.objective[i], trace[2 * i + 1] = run.seconds[i];
        double* summary = mxGetPr(outputs[3]);
        summary[0] = static_cast<double>(run.iterations), summary[1] = stopCode(run.stop);
        summary[2] = run.relativeError, summary[3] = run.threads;
        return {nullptr, nullptr};
    }
    mxArray* H = copyOf(H0, k, n);
    if (!H) return {"outOfMemory", "no memory for the result"};
    NmfProjectRun run;
    const NmfStatus status = nmfProject(A, k, mxGetPr(Wt0), mxGetPr(H), projectionOptions(s), run);
    outputs[0] = H;
    outputs[1] = status == NmfStatus::done ? rowOf(run.objective) : nullptr;
    outputs[2] = matrix(1, 3);
    if (status != NmfStatus::done || !outputs[1] || !outputs[2]) {
        destroy(outputs, 3);
        return failureOf(status);
    }
    double* summary = mxGetPr(outputs[2]);
    summary[0] = static_cast<double>(run.iterations), summary[1] = stopCode(run.stop);
    summary[2] = run.threads;
    return {nullptr, nullptr};
}

bool hasShape(const mxArray* array, std::size_t rows, std::size_t columns) {
    return mxGetM(array) == rows && mxGetN(array) == columns;
}

// Task 3: a 1×count row of the generator's draws from the seed.
void drawUniforms(const mxArray* count, const Settings& s, mxArray** plhs) {
    const double c = mxGetNumberOfElements(count) == 1 && !mxIsSparse(count) ? mxGetPr(count)[0] : -1.0;
    if (!isCountUpTo(c, 2147483647.0))
        arguments::refuse(plugin, "shape", "task 3 takes a count from 0 to 2^31 - 1 as A");
    if (std::isnan(s[seed])) arguments::refuse(plugin, "badSettings", "task 3 needs a seed");
    mxArray* u = matrix(1, static_cast<std::ptrdiff_t>(c));
    if (!u) arguments::refuse(plugin, "outOfMemory", "no memory for %g draws", c);
    std::uint64_t state = static_cast<std::uint64_t>(s[seed]);
    double* values = mxGetPr(u);
    for (std::ptrdiff_t i = 0; i < static_cast<std::ptrdiff_t>(c); ++i) values[i] = nmfUniform(state);
    plhs[0] = u;
}

// The weights of A's entries, read where nmfsolve's help says.
template <typename Index>
NmfWeights<Index> checkedWeights(const mxArray* weights, std::size_t m, std::size_t n,
                                 const Settings& s) {
    if (!mxIsDouble(weights) || mxIsComplex(weights))
        arguments::refuse(plugin, "badWeights", "weights must be a real double matrix, full or sparse");
    if (!hasShape(weights, m, n))
        arguments::refuse(plugin, "badWeights", "weights are %zu by %zu; they must be A's size, %zu by %zu",
                          mxGetM(weights), mxGetN(weights), m, n);
    if (s[loss] == 1)
        arguments::refuse(plugin, "badWeights", "weights apply to the least-squares loss only");
    const bool sparse = mxIsSparse(weights);
    if (sparse && !validSparseColumns(static_cast<std::ptrdiff_t>(m), static_cast<std::ptrdiff_t>(n),
                                      mxGetJc(weights), mxGetIr(weights)))
        arguments::refuse(plugin, "badSparse",
                          "the weights' column starts or row indices are out of order or out of range");
    const double* w = mxGetPr(weights);
    const std::size_t count = sparse ? static_cast<std::size_t>(mxGetJc(weights)[n]) : m * n;
    for (std::size_t t = 0; t < count; ++t)
        if (!(std::isfinite(w[t]) && w[t] >= 0))
            arguments::refuse(plugin, "badWeights", "weights must be finite and at least 0");
    return {w, sparse ? mxGetJc(weights) : nullptr, sparse ? mxGetIr(weights) : nullptr};
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    if (nrhs != 4 && nrhs != 5) arguments::refuse(plugin, "nargin", "takes 4 or 5 inputs, got %d", nrhs);
    const mxArray* A = prhs[0];
    const mxArray* Wt0 = prhs[1];
    const mxArray* H0 = prhs[2];
    const mxArray* row = prhs[3];
    if (!mxIsDouble(A) || mxIsComplex(A))
        arguments::refuse(plugin, "notRealDouble", "A must be a real double matrix, full or sparse");
    arguments::checkCounts(plugin, A, "A");
    arguments::checkRealFullDouble(plugin, Wt0, "Wt");
    arguments::checkRealFullDouble(plugin, H0, "H0");
    arguments::checkRealFullDouble(plugin, row, "settings");
    if (mxGetNumberOfElements(row) != slotCount)
        arguments::refuse(plugin, "badSettings", "settings must hold %d values, not %zu",
                          static_cast<int>(slotCount), mxGetNumberOfElements(row));
    const Settings s{mxGetPr(row)};
    if (const char* bad = badSlot(s))
        arguments::refuse(plugin, "badSettings", "settings: %s is out of range", bad);
    if (s[task] == draw) {
        if (nrhs != 4 || nlhs > 1)
            arguments::refuse(plugin, "nargin", "task 3 takes 4 inputs and gives 1 output");
        return drawUniforms(A, s, plhs);
    }
    const bool factorising = s[task] == factorise;
    const int outputs = factorising ? 4 : 3;
    if (nlhs > outputs)
        arguments::refuse(plugin, "nargout", "gives at most %d outputs for task %d, %d requested",
                          outputs, factorising ? 1 : 2, nlhs);

    const std::size_t m = mxGetM(A), n = mxGetN(A);
    if (m == 0 || n == 0) arguments::refuse(plugin, "shape", "A must not be empty");
    // A random start (task 1 only) comes with Wt0 and H0 both empty.
    const bool drawn =
        factorising && mxGetNumberOfElements(Wt0) == 0 && mxGetNumberOfElements(H0) == 0;
    const std::size_t k = drawn ? static_cast<std::size_t>(s[rank]) : mxGetM(Wt0);
    if (!drawn && (k == 0 || !hasShape(Wt0, k, m) || !hasShape(H0, k, n) ||
                   k != static_cast<std::size_t>(s[rank])))
        arguments::refuse(plugin, "shape",
                          "A is %zu by %zu, Wt is %zu by %zu and H0 is %zu by %zu; they must be "
                          "k by %zu and k by %zu for k = rank (%g)",
                          m, n, mxGetM(Wt0), mxGetN(Wt0), mxGetM(H0), mxGetN(H0), m, n, s[rank]);

    const bool sparse = mxIsSparse(A);
    if (sparse && !validSparseColumns(static_cast<std::ptrdiff_t>(m), static_cast<std::ptrdiff_t>(n),
                                      mxGetJc(A), mxGetIr(A)))
        arguments::refuse(plugin, "badSparse",
                          "A's column starts or row indices are out of order or out of range");

    using Index = std::remove_const_t<std::remove_pointer_t<decltype(mxGetJc(A))>>;
    NmfWeights<Index> weights{};
    if (nrhs == 5) weights = checkedWeights<Index>(prhs[4], m, n, s);
    const NmfMatrix<Index> data{static_cast<std::ptrdiff_t>(m), static_cast<std::ptrdiff_t>(n),
                                mxGetPr(A), sparse ? mxGetJc(A) : nullptr,
                                sparse ? mxGetIr(A) : nullptr, nrhs == 5 ? &weights : nullptr};
    mxArray* results[4] = {nullptr, nullptr, nullptr, nullptr};
    const Failure failure = runTask(s, data, static_cast<std::ptrdiff_t>(k), drawn ? nullptr : Wt0,
                                  drawn ? nullptr : H0, results);
    if (failure.reason) arguments::refuse(plugin, failure.reason, "%s", failure.message);
    for (int i = 0; i < outputs; ++i) {
        if (i < (nlhs > 0 ? nlhs : 1)) plhs[i] = results[i];
        else mxDestroyArray(results[i]);
    }
}

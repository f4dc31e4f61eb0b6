// Random calls of nmfsolve: A, Wt0, H0 and at times the weights come from
// the fuzzer's bytes as for every plug-in, and the settings row from the
// first byte. On top of what every call must satisfy, a well-formed call
// must succeed and return, bit for bit, what the solver gives when called
// directly on one thread (so the gateway passes everything through and the
// team's cut changes nothing), or, under kl, be refused as the solver
// refuses a start of infinite divergence; task 3 must return the
// generator's draws; any other call must be refused.

#include <bitset>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "call_checks.h"
#include "greedy_nmf.h"

namespace {

constexpr const char* name = "nmfsolve";
constexpr int slots = 18;

// Bits of the selector: task (1, 2, 1, or 3: draws), iterations, extrapolation, penalties, tolerance, threads; an odd count of
// set bits asks for the kl loss, so that each other bit meets both losses.
std::vector<double> settingsFrom(std::uint8_t selector, std::size_t rank) {
    const double tasks[] = {1, 2, 1, 3};
    const double iterations[] = {0, 1, 3, 8};
    const double threads[] = {1, 3};
    const bool penalised = selector & 0x20;
    return {tasks[selector & 3], static_cast<double>(rank), 7, iterations[(selector >> 2) & 3],
            selector & 0x40 ? 1e-4 : 0.0, INFINITY, 0, 3, 1e-5, selector & 0x10 ? 1.0 : 0.0,
            penalised ? 0.5 : 0, penalised ? 0.25 : 0, penalised ? 0.125 : 0, penalised ? 1.0 : 0.0,
            threads[selector >> 7], 0, 0, std::bitset<8>(selector).count() % 2 == 1 ? 1.0 : 0.0};
}

bool isRealDouble(const mxArray* A) { return mxIsDouble(A) && !mxIsComplex(A); }

// Finite, non-negative weights of A's size.
bool areWeightsFor(const mxArray* weights, const mxArray* A) {
    if (!isRealDouble(weights) || mxGetM(weights) != mxGetM(A) || mxGetN(weights) != mxGetN(A))
        return false;
    for (double w : testhost::values(weights))
        if (!(std::isfinite(w) && w >= 0)) return false;
    return true;
}

// Task 3 takes a full count as A and gives one output.
bool isDrawCall(const fuzzcall::Call& call) {
    const mxArray* count = call.inputs[0];
    if (call.inputs.size() != 4 || call.nlhs > 1 || !isRealDouble(count) || mxIsSparse(count) ||
        mxGetNumberOfElements(count) != 1 || !fuzzcall::isUsableMatrix(call.inputs[1]) ||
        !fuzzcall::isUsableMatrix(call.inputs[2]) || !fuzzcall::hostHasRoomFor(call, 1))
        return false;
    const double c = mxGetPr(count)[0];
    return std::isfinite(c) && c == std::floor(c) && c >= 0 && c < 2147483648.0;
}

bool isWellFormed(const fuzzcall::Call& call, const std::vector<double>& settings) {
    if (settings[0] == 3) return isDrawCall(call);
    const bool factorise = settings[0] == 1;
    const mxArray* A = call.inputs[0];
    if (call.inputs.size() == 5 && (settings[17] == 1 || !areWeightsFor(call.inputs[4], A)))
        return false;
    const mxArray* Wt = call.inputs[1];
    const mxArray* H = call.inputs[2];
    constexpr std::size_t limit = std::size_t{1} << 31;
    if (call.nlhs > (factorise ? 4 : 3) || !isRealDouble(A) || mxGetM(A) >= limit ||
        mxGetN(A) >= limit || mxIsEmpty(A) || !fuzzcall::isUsableMatrix(Wt) ||
        !fuzzcall::isUsableMatrix(H) || !fuzzcall::hostHasRoomFor(call, factorise ? 4 : 3))
        return false;
    if (factorise && mxIsEmpty(Wt) && mxIsEmpty(H)) return true;
    const std::size_t k = mxGetM(Wt);
    return k == static_cast<std::size_t>(settings[1]) && k > 0 && mxGetN(Wt) == mxGetM(A) &&
           mxGetM(H) == k && mxGetN(H) == mxGetN(A);
}

void expectSame(const std::vector<double>& expected, const mxArray* output, const char* what) {
    fuzzcall::require(fuzzcall::sameBits(testhost::values(output), expected), name,
                      std::string(what) + " differs from the solver's own");
}

// Under kl a start whose W·H is 0 at a positive entry is refused, as the
// solver itself says.
void expectOutcome(NmfStatus status, const testhost::CallResult& result) {
    if (status == NmfStatus::zeroModel) {
        fuzzcall::require(result.error && result.error->identifier == "nmfsolve:zeroModel", name,
                          "a start of infinite divergence was not refused as such");
        return;
    }
    fuzzcall::require(status == NmfStatus::done, name, "the solver ran out of memory");
    fuzzcall::require(!result.error, name,
                      "a well-formed call was refused: " +
                          (result.error ? result.error->identifier + ": " + result.error->message
                                        : std::string()));
}

void checkDraws(const fuzzcall::Call& call, const testhost::CallResult& result) {
    fuzzcall::require(!result.error, name, "a well-formed task 3 was refused");
    std::vector<double> expected(static_cast<std::size_t>(mxGetPr(call.inputs[0])[0]));
    std::uint64_t state = 7;
    for (double& u : expected) u = nmfUniform(state);
    expectSame(expected, result.outputs[0].get(), "the draws");
}

void checkAgainstSolver(const fuzzcall::Call& call, const std::vector<double>& s,
                        const testhost::CallResult& result) {
    const mxArray* input = call.inputs[0];
    const std::ptrdiff_t m = static_cast<std::ptrdiff_t>(mxGetM(input));
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(mxGetN(input));
    const std::ptrdiff_t k = static_cast<std::ptrdiff_t>(s[1]);
    const std::vector<double> values = testhost::values(input);
    const bool sparse = mxIsSparse(input);
    NmfMatrix<std::int32_t> A{m, n, values.data(), sparse ? mxGetJc_700(input) : nullptr,
                              sparse ? mxGetIr_700(input) : nullptr};
    std::vector<double> weightValues;
    NmfWeights<std::int32_t> weights{nullptr, nullptr, nullptr};
    if (call.inputs.size() == 5) {
        const mxArray* w = call.inputs[4];
        weightValues = testhost::values(w);
        weights = {weightValues.data(), mxIsSparse(w) ? mxGetJc_700(w) : nullptr,
                   mxIsSparse(w) ? mxGetIr_700(w) : nullptr};
        A.weights = &weights;
    }
    std::vector<double> Wt = testhost::values(call.inputs[1]), H = testhost::values(call.inputs[2]);
    std::vector<double> summary;
    if (s[0] == 1) {
        if (Wt.empty()) {
            Wt.resize(k * m), H.resize(k * n);
            nmfRandomStart(A, k, 7, Wt.data(), H.data());
        }
        NmfOptions o;
        o.loss = s[17] == 1 ? NmfLoss::kl : NmfLoss::leastSquares;
        o.maxiter = s[3], o.tol = s[4], o.maxinner = 3, o.innerTol = s[8], o.extrapolate = s[9] == 1;
        o.l1W = s[10], o.l2W = s[11], o.l1H = s[12], o.l2H = s[13];
        NmfRun run;
        const NmfStatus status = greedyNmf(A, k, Wt.data(), H.data(), o, run);
        expectOutcome(status, result);
        if (status != NmfStatus::done) return;
        const int given = call.nlhs > 0 ? call.nlhs : 1;
        expectSame(Wt, result.outputs[0].get(), "Wt");
        if (given > 1) expectSame(H, result.outputs[1].get(), "H");
        if (given > 2) {
            const std::vector<double> trace = testhost::values(result.outputs[2].get());
            std::vector<double> objective;
            for (std::size_t i = 0; i < trace.size(); i += 2) objective.push_back(trace[i]);
            fuzzcall::require(fuzzcall::sameBits(objective, run.objective), name,
                              "the objective trace differs from the solver's own");
        }
        return;
    }
    NmfProjectOptions o;
    o.loss = s[17] == 1 ? NmfLoss::kl : NmfLoss::leastSquares;
    o.maxiter = s[3], o.tol = s[4], o.maxinner = 3, o.innerTol = s[8], o.l1H = s[12], o.l2H = s[13];
    NmfProjectRun run;
    const NmfStatus status = nmfProject(A, k, Wt.data(), H.data(), o, run);
    expectOutcome(status, result);
    if (status != NmfStatus::done) return;
    expectSame(H, result.outputs[0].get(), "H");
    if (call.nlhs > 1) expectSame(run.objective, result.outputs[1].get(), "the objective trace");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testhost::Plugin plugin(PLUGIN_PATH);
    if (size < 1) return 0;
    fuzzcall::Call call = fuzzcall::decodeCall(data + 1, size - 1);
    // The settings make the fourth input; a fourth decoded one, the weights, the fifth.
    if (call.inputs.size() != 3 && call.inputs.size() != 4) return 0;
    const std::size_t rank = mxIsEmpty(call.inputs[1]) ? 1 + data[0] % 3 : mxGetM(call.inputs[1]);
    const std::vector<double> settings = settingsFrom(data[0], rank);
    call.arrays.push_back(testhost::makeDouble(1, slots, settings));
    call.inputs.insert(call.inputs.begin() + 3, call.arrays.back().get());

    // Draws are written one by one: a count in the billions would only take time.
    const mxArray* count = call.inputs[0];
    if (settings[0] == 3 && isRealDouble(count) && !mxIsSparse(count) &&
        mxGetNumberOfElements(count) == 1 && mxGetPr(count)[0] > 4096)
        return 0;
    const bool wellFormed = isWellFormed(call, settings);
    const testhost::CallResult result = fuzzcall::callChecked(plugin, name, call, 4);
    fuzzcall::require(result.printed.empty(), name, "printed '" + result.printed + "'");
    if (!wellFormed) {
        fuzzcall::require(result.error.has_value(), name, "a malformed call was not refused");
        return 0;
    }
    if (settings[0] == 3) checkDraws(call, result);
    else checkAgainstSolver(call, settings, result);
    return 0;
}

// Random calls of fixedtimes: on top of what every call must satisfy, a
// well-formed call must succeed and return, bit for bit, the reference loop's
// X*A or X*A', and any other call must be refused without printing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "call_checks.h"
#include "reference_kernels.h"

namespace {

constexpr const char* name = "fixedtimes";

bool isFlag(const mxArray* flag) {
    if (!(mxIsNumeric(flag) || mxIsLogical(flag)) || mxIsComplex(flag) || mxIsSparse(flag) ||
        mxGetNumberOfElements(flag) != 1)
        return false;
    const double value = mxGetScalar(flag);
    return value == 0.0 || value == 1.0;
}

bool transposedCall(const fuzzcall::Call& call) {
    return call.inputs.size() == 3 && mxGetScalar(call.inputs[2]) == 1.0;
}

bool isWellFormed(const fuzzcall::Call& call) {
    if (call.inputs.size() < 2 || call.inputs.size() > 3 || call.nlhs > 1) return false;
    const mxArray* X = call.inputs[0];
    const mxArray* A = call.inputs[1];
    constexpr std::size_t limit = std::size_t{1} << 31;
    if (call.inputs.size() == 3 && !isFlag(call.inputs[2])) return false;
    const std::size_t shared = transposedCall(call) ? mxGetN(A) : mxGetM(A);
    return fuzzcall::isUsableMatrix(X) && mxIsDouble(A) && !mxIsComplex(A) && mxGetM(A) < limit &&
           mxGetN(A) < limit && mxGetN(X) == shared && fuzzcall::hostHasRoomFor(call, 1);
}

std::size_t resultColumns(const fuzzcall::Call& call) {
    return transposedCall(call) ? mxGetM(call.inputs[1]) : mxGetN(call.inputs[1]);
}

void checkAgainstReference(const fuzzcall::Call& call, const testhost::CallResult& result) {
    const mxArray* X = call.inputs[0];
    const mxArray* A = call.inputs[1];
    const std::ptrdiff_t k = static_cast<std::ptrdiff_t>(mxGetM(X));
    const std::ptrdiff_t depth = static_cast<std::ptrdiff_t>(mxGetN(X));
    const std::ptrdiff_t rows = static_cast<std::ptrdiff_t>(mxGetM(A));
    const std::ptrdiff_t columns = static_cast<std::ptrdiff_t>(mxGetN(A));
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(resultColumns(call));
    const bool transposed = transposedCall(call);
    std::vector<double> P(static_cast<std::size_t>(k * n));
    const std::vector<double> x = testhost::values(X), a = testhost::values(A);
    if (mxIsSparse(A) && transposed)
        reference::fullTimesSparseTransposed(P.data(), x.data(), k, rows, columns, mxGetJc_700(A),
                                             mxGetIr_700(A), a.data());
    else if (mxIsSparse(A))
        reference::fullTimesSparse(P.data(), x.data(), k, columns, mxGetJc_700(A), mxGetIr_700(A),
                                   a.data());
    else if (transposed)
        reference::fullTimesTransposed(P.data(), x.data(), a.data(), k, rows, columns);
    else
        reference::fullTimesFull(P.data(), x.data(), a.data(), k, depth, n);
    const mxArray* output = result.outputs[0].get();
    fuzzcall::require(mxGetM(output) == mxGetM(X) && mxGetN(output) == resultColumns(call), name,
                      "the result is not k by n");
    fuzzcall::require(fuzzcall::sameBits(testhost::values(output), P), name,
                      "the result differs from the reference loop's");
}

// An empty shared index gives a k×n zero matrix however large k and n are:
// calls asking for more than 2^24 elements are left out, as are those whose
// reference loop would take too long.
bool asksTooMuch(const fuzzcall::Call& call) {
    const double k = static_cast<double>(mxGetM(call.inputs[0]));
    const double n = static_cast<double>(resultColumns(call));
    const double depth = static_cast<double>(mxGetN(call.inputs[0]));
    return k * n > double{1 << 24} || k * n * depth > double{1 << 26};
}

}  // namespace

// The same gateway serves sparsetimes (plugins/product_gateway.h), whose
// calls are these with a sparse A and no flag.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testhost::Plugin plugin(PLUGIN_PATH);
    const fuzzcall::Call call = fuzzcall::decodeCall(data, size);
    const bool wellFormed = isWellFormed(call);
    if (wellFormed && asksTooMuch(call)) return 0;
    const testhost::CallResult result = fuzzcall::callChecked(plugin, name, call, 1);
    fuzzcall::require(result.printed.empty(), name, "printed '" + result.printed + "'");
    if (!wellFormed) {
        fuzzcall::require(result.error.has_value(), name, "a malformed call was not refused");
        return 0;
    }
    fuzzcall::require(!result.error, name,
                      "a well-formed call was refused: " +
                          (result.error ? result.error->identifier : std::string()));
    checkAgainstReference(call, result);
    return 0;
}

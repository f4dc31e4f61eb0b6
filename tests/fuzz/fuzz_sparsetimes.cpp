// Random calls of sparsetimes: on top of what every call must satisfy, a
// well-formed call must succeed and return, bit for bit, the reference loop's
// X*A, and any other call must be refused without printing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "product_target.h"
#include "reference_kernels.h"

namespace {

constexpr const char* name = "sparsetimes";

bool isWellFormed(const fuzzcall::Call& call) {
    if (call.inputs.size() != 2 || call.nlhs > 1) return false;
    const mxArray* X = call.inputs[0];
    const mxArray* A = call.inputs[1];
    constexpr std::size_t limit = std::size_t{1} << 31;
    return fuzzcall::isUsableMatrix(X) && mxIsDouble(A) && !mxIsComplex(A) && mxIsSparse(A) &&
           mxGetM(A) < limit && mxGetN(A) < limit && mxGetN(X) == mxGetM(A) &&
           fuzzcall::hostHasRoomFor(call, 1);
}

void checkAgainstReference(const fuzzcall::Call& call, const testhost::CallResult& result) {
    const mxArray* X = call.inputs[0];
    const mxArray* A = call.inputs[1];
    const std::ptrdiff_t k = static_cast<std::ptrdiff_t>(mxGetM(X));
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(mxGetN(A));
    std::vector<double> P(static_cast<std::size_t>(k * n));
    reference::fullTimesSparse(P.data(), testhost::values(X).data(), k, n, mxGetJc_700(A), mxGetIr_700(A),
                               testhost::values(A).data());
    const mxArray* output = result.outputs[0].get();
    fuzzcall::require(mxGetM(output) == mxGetM(X) && mxGetN(output) == mxGetN(A), name,
                      "the result is not k by n");
    fuzzcall::require(fuzzcall::sameBits(testhost::values(output), P), name,
                      "the result differs from the reference loop's");
}

// X with no columns times A with no rows is a k×n zero matrix however large
// k and n are: a result beyond memory is what the caller asked for, not a
// fault, and calls asking for more than 2^24 elements are left out.
bool asksForHugeResult(const fuzzcall::Call& call) {
    return static_cast<double>(mxGetM(call.inputs[0])) * static_cast<double>(mxGetN(call.inputs[1])) >
           double{1 << 24};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzcall::checkProductCall(name, data, size, isWellFormed, asksForHugeResult, checkAgainstReference);
}

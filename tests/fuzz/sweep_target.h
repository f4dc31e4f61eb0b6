#pragma once

// Random calls of one sweep plug-in: on top of what every call must satisfy,
// a well-formed call must succeed and return, bit for bit, the reference
// loops' n×m sweep of the inputs' data, and any other call must be refused.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "call_checks.h"
#include "reference_kernels.h"

namespace fuzzcall {

// lambda, n and m are whatever the host's scalar conversion makes of them.
inline double firstValue(const mxArray* array) { return mxGetScalar(array); }

inline bool isUsableScalar(const mxArray* array) {
    constexpr std::size_t limit = std::size_t{1} << 31;
    return (mxIsNumeric(array) || mxIsLogical(array)) && !mxIsComplex(array) &&
           !mxIsSparse(array) && !mxIsEmpty(array) && mxGetM(array) < limit &&
           mxGetN(array) < limit;
}

inline bool isWellFormedSweep(const Call& call) {
    if (call.inputs.size() != 5 || call.nlhs > 1) return false;
    for (int i = 0; i < 2; ++i)
        if (!isUsableMatrix(call.inputs[i])) return false;
    for (int i = 2; i < 5; ++i)
        if (!isUsableScalar(call.inputs[i])) return false;
    const std::int32_t n = truncatedCount(firstValue(call.inputs[3]));
    const std::int32_t m = truncatedCount(firstValue(call.inputs[4]));
    if (n < 0 || m < 0) return false;
    // An empty result reads neither M nor C.
    const std::size_t rows = static_cast<std::size_t>(n), cols = static_cast<std::size_t>(m);
    const bool readsFit = rows * cols == 0 || (mxGetNumberOfElements(call.inputs[0]) >= rows * rows &&
                                               mxGetNumberOfElements(call.inputs[1]) >= rows * cols);
    return readsFit && hostHasRoomFor(call, 1);
}

inline int checkSweepCall(const char* name, reference::Rule rule, const std::uint8_t* data,
                          std::size_t size) {
    static const testhost::Plugin plugin(PLUGIN_PATH);
    const Call call = decodeCall(data, size);
    const testhost::CallResult result = callChecked(plugin, name, call, 1);
    require(result.printed.empty(), name, "printed '" + result.printed + "'");

    if (!isWellFormedSweep(call)) {
        require(result.error.has_value(), name, "a malformed call was not refused");
        return 0;
    }
    require(!result.error, name,
            "a well-formed call was refused: " +
                (result.error ? result.error->identifier : std::string()));

    const std::int32_t n = truncatedCount(firstValue(call.inputs[3]));
    const std::int32_t m = truncatedCount(firstValue(call.inputs[4]));
    const std::vector<double> M = testhost::values(call.inputs[0]);
    const std::vector<double> C = testhost::values(call.inputs[1]);
    std::vector<double> X(static_cast<std::size_t>(n) * static_cast<std::size_t>(m));
    // The reference would still walk up to 2^31 - 1 empty columns.
    if (!X.empty())
        reference::forwardSweep(rule, X.data(), M.data(), C.data(), firstValue(call.inputs[2]), n, m);

    const mxArray* output = result.outputs[0].get();
    require(mxGetM(output) == static_cast<std::size_t>(n) &&
                mxGetN(output) == static_cast<std::size_t>(m),
            name, "the result is not n by m");
    require(sameBits(testhost::values(output), X), name,
            "the result differs from the reference loops'");
    return 0;
}

}  // namespace fuzzcall

#pragma once

// Checks every gateway makes before it allocates anything. A refusal is a
// host error with identifier PLUGIN:reason; it does not return.

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "mex.h"

namespace arguments {

// Host counts at or above this cannot become the kernels' 32-bit sizes.
inline constexpr std::size_t countLimit = std::size_t{1} << 31;

// Everything here lives on the stack: the host error skips our frames
// without running destructors.
[[noreturn]] inline void refuse(const char* plugin, const char* reason, const char* format, ...) {
    char identifier[96];
    std::snprintf(identifier, sizeof identifier, "%s:%s", plugin, reason);
    char message[256];
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    mexErrMsgIdAndTxt(identifier, "%s", message);
    std::abort();  // a host error never comes back
}

inline void checkArgumentCounts(const char* plugin, int nlhs, int outputsGiven, int nrhs,
                                int inputsTaken) {
    if (nrhs != inputsTaken) refuse(plugin, "nargin", "takes %d inputs, got %d", inputsTaken, nrhs);
    if (nlhs > outputsGiven)
        refuse(plugin, "nargout", "gives at most %d output%s, %d requested", outputsGiven,
               outputsGiven == 1 ? "" : "s", nlhs);
}

inline void checkCounts(const char* plugin, const mxArray* input, const char* name) {
    if (mxGetM(input) >= countLimit || mxGetN(input) >= countLimit)
        refuse(plugin, "tooLarge", "%s must have fewer than 2^31 rows and columns", name);
}

// Matrices are read through their data as real doubles with 32-bit counts.
inline void checkRealFullDouble(const char* plugin, const mxArray* input, const char* name) {
    if (!mxIsDouble(input) || mxIsComplex(input) || mxIsSparse(input))
        refuse(plugin, "notRealDouble", "%s must be a real, full double array", name);
    checkCounts(plugin, input, name);
}

// Scalars read through the host's scalar conversion may be of any real
// numeric or logical class: it converts their first element to double.
inline void checkRealFullNumeric(const char* plugin, const mxArray* input, const char* name) {
    if (!(mxIsNumeric(input) || mxIsLogical(input)) || mxIsComplex(input) || mxIsSparse(input))
        refuse(plugin, "notRealNumeric", "%s must be a real, full numeric or logical array",
               name);
    checkCounts(plugin, input, name);
}

inline void checkNotEmpty(const char* plugin, const mxArray* input, const char* name) {
    if (mxGetNumberOfElements(input) == 0) refuse(plugin, "empty", "%s must not be empty", name);
}

// A new rows×cols real double matrix of zeros, or none when the host has no
// memory for it: our test host then returns none, and Octave throws (it has
// not reported anything yet), so that the gateway can refuse the call with
// its own identifier. (MATLAB ends such a call with its own error.)
inline mxArray* newMatrix(std::size_t rows, std::size_t cols) {
    try {
        return mxCreateDoubleMatrix(static_cast<mwSize>(rows), static_cast<mwSize>(cols), mxREAL);
    } catch (const std::exception&) {
        return nullptr;
    }
}

// Truncation toward zero; a value with no 32-bit result (NaN, ±Inf, out of
// range) gives the most negative 32-bit integer.
inline std::int32_t truncateToInt32(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

}  // namespace arguments

#pragma once

// What every plug-in call must satisfy, however malformed: the inputs come
// back byte for byte, a refusal is a host error named PLUGIN:reason that
// leaves nothing behind, and a call that returns has filled every output
// slot it was asked for with a real double matrix. A broken promise aborts,
// which the fuzzer reports with the input that broke it.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "call_decoder.h"
#include "testhost.h"

namespace fuzzcall {

[[noreturn]] inline void fail(const char* plugin, const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", plugin, what.c_str());
    std::abort();
}

inline void require(bool holds, const char* plugin, const std::string& what) {
    if (!holds) fail(plugin, what);
}

inline bool isRealFullDouble(const mxArray* array) {
    return mxIsDouble(array) && !mxIsComplex(array) && !mxIsSparse(array);
}

// An input a well-formed call may pass: the kernels' sizes are 32-bit.
inline bool isUsableMatrix(const mxArray* array) {
    constexpr std::size_t limit = std::size_t{1} << 31;
    return isRealFullDouble(array) && mxGetM(array) < limit && mxGetN(array) < limit;
}

// A host scalar standing for a count, truncated toward zero; anything with
// no 32-bit result gives the most negative 32-bit integer.
inline std::int32_t truncatedCount(double value) {
    if (std::isnan(value) || value <= -2147483649.0 || value >= 2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

inline bool hostHasRoomFor(const Call& call, long long arrays) {
    return call.arraysLeft < 0 || call.arraysLeft >= arrays;
}

// Equal bits, except that any NaN stands for any NaN.
inline bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::isnan(a[i]) && std::isnan(b[i])) continue;
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) return false;
    }
    return true;
}

inline bool isIdentifierOf(const std::string& identifier, const std::string& plugin) {
    if (identifier.size() <= plugin.size() + 1 || identifier.compare(0, plugin.size(), plugin) != 0 ||
        identifier[plugin.size()] != ':')
        return false;
    for (std::size_t i = plugin.size() + 1; i < identifier.size(); ++i) {
        const char c = identifier[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Runs the call under the host's memory limit and checks what holds for
// every call; the result is left for the plug-in's own checks.
inline testhost::CallResult callChecked(const testhost::Plugin& plugin, const char* name,
                                        const Call& call, int outputsGiven) {
    std::vector<std::vector<unsigned char>> before;
    for (const auto& array : call.arrays) before.push_back(testhost::snapshot(array.get()));
    const std::size_t aliveBefore = testhost::liveArrays();

    testhost::limitNewArrays(call.arraysLeft);
    testhost::CallResult result = plugin.call(call.nlhs, call.inputs);
    testhost::limitNewArrays(-1);

    for (std::size_t i = 0; i < call.arrays.size(); ++i)
        require(testhost::snapshot(call.arrays[i].get()) == before[i], name,
                "the call changed input array " + std::to_string(i));

    if (result.error) {
        require(isIdentifierOf(result.error->identifier, name), name,
                "refused with identifier '" + result.error->identifier + "'");
        require(!result.error->message.empty(), name, "refused with an empty message");
        for (const auto& output : result.outputs)
            require(!output, name, "an output survived the host error");
        require(testhost::liveArrays() == aliveBefore, name, "a refused call leaked an array");
        return result;
    }

    require(call.nlhs <= outputsGiven, name,
            "returned normally with " + std::to_string(call.nlhs) + " outputs requested");
    std::size_t filled = 0;
    for (std::size_t i = 0; i < result.outputs.size(); ++i) {
        const mxArray* output = result.outputs[i].get();
        require(output != nullptr, name, "output slot " + std::to_string(i) + " left empty");
        require(isRealFullDouble(output), name, "an output is not a real full double matrix");
        ++filled;
    }
    require(testhost::liveArrays() == aliveBefore + filled, name,
            "the call left arrays alive beyond its outputs");
    return result;
}

}  // namespace fuzzcall

// Random calls of greedycd: on top of what every call must satisfy, a
// well-formed call must succeed and return what the kernel gives on copies
// of GW and W, and any other call must be refused.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "call_checks.h"
#include "greedy_coordinate_update.h"

namespace {

constexpr const char* name = "greedycd";

bool isWellFormed(const fuzzcall::Call& call) {
    if (call.inputs.size() != 5 || call.nlhs > 2) return false;
    for (const mxArray* input : call.inputs)
        if (!fuzzcall::isUsableMatrix(input)) return false;
    const mxArray* GW = call.inputs[0];
    const std::size_t k = mxGetM(GW), n = mxGetN(GW);
    return mxGetM(call.inputs[1]) == k && mxGetN(call.inputs[1]) == k &&
           mxGetM(call.inputs[2]) == k && mxGetN(call.inputs[2]) == n &&
           !mxIsEmpty(call.inputs[3]) && !mxIsEmpty(call.inputs[4]) &&
           fuzzcall::hostHasRoomFor(call, 2);  // Wnew and the updated gradient
}

void checkAgainstKernel(const fuzzcall::Call& call, const testhost::CallResult& result) {
    const std::int32_t k = static_cast<std::int32_t>(mxGetM(call.inputs[0]));
    const std::int32_t n = static_cast<std::int32_t>(mxGetN(call.inputs[0]));
    std::vector<double> GW = testhost::values(call.inputs[0]);
    std::vector<double> W = testhost::values(call.inputs[2]);
    const std::vector<double> HHt = testhost::values(call.inputs[1]);
    const double tol = testhost::values(call.inputs[3])[0];
    const std::int32_t maxinner = fuzzcall::truncatedCount(testhost::values(call.inputs[4])[0]);
    fuzzcall::require(k <= 0 || n <= 0 ||
                          greedyCoordinateUpdate(GW.data(), HHt.data(), W.data(), tol, n, k, maxinner),
                      name, "the kernel found no memory for its scratch vectors");

    const mxArray* Wnew = result.outputs[0].get();
    fuzzcall::require(mxGetM(Wnew) == mxGetM(call.inputs[0]) &&
                          mxGetN(Wnew) == mxGetN(call.inputs[0]),
                      name, "Wnew does not have the shape of GW");
    fuzzcall::require(fuzzcall::sameBits(testhost::values(Wnew), W), name,
                      "Wnew differs from the kernel's W");
    if (call.nlhs >= 2)
        fuzzcall::require(fuzzcall::sameBits(testhost::values(result.outputs[1].get()), GW), name,
                          "the returned gradient differs from the kernel's");
}

// Up to 2^31 - 1 moves per column is a long computation the caller asked
// for, not a fault: such calls are left out.
bool asksForLongRun(const fuzzcall::Call& call) {
    return !mxIsEmpty(call.inputs[0]) &&
           fuzzcall::truncatedCount(testhost::values(call.inputs[4])[0]) > (1 << 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testhost::Plugin plugin(PLUGIN_PATH);
    const fuzzcall::Call call = fuzzcall::decodeCall(data, size);
    const bool wellFormed = isWellFormed(call);
    if (wellFormed && asksForLongRun(call)) return 0;
    const testhost::CallResult result = fuzzcall::callChecked(plugin, name, call, 2);

    if (!wellFormed) {
        fuzzcall::require(result.error.has_value(), name, "a malformed call was not refused");
        // Only a shape mismatch prints, and then the usage block comes first.
        const std::string usage = "Error calling greedycd.\n";
        if (!result.printed.empty())
            fuzzcall::require(result.error->identifier == "greedycd:shape" &&
                                  result.printed.compare(0, usage.size(), usage) == 0,
                              name, "printed '" + result.printed + "'");
        return 0;
    }
    fuzzcall::require(!result.error, name,
                      "a well-formed call was refused: " +
                          (result.error ? result.error->identifier : std::string()));
    fuzzcall::require(result.printed.empty(), name, "a well-formed call printed");
    checkAgainstKernel(call, result);
    return 0;
}

// Random calls of clipsweep.
#include "sweep_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzcall::checkSweepCall("clipsweep", reference::Rule::nonNegative, data, size);
}

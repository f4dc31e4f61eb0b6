// Random calls of hardsweep.
#include "sweep_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fuzzcall::checkSweepCall("hardsweep", reference::Rule::hardThreshold, data, size);
}

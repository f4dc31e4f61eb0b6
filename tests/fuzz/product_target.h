#pragma once

// Random calls of one product plug-in: on top of what every call must
// satisfy, a well-formed call must succeed and pass the target's check
// against the reference loops, and any other call must be refused without
// printing.

#include <cstddef>
#include <cstdint>
#include <string>

#include "call_checks.h"

namespace fuzzcall {

// An empty shared index gives a zero matrix however large its sides are: a
// result beyond memory is what the caller asked for, not a fault, so the
// target leaves out well-formed calls that ask too much (asksTooMuch).
template <class WellFormed, class AsksTooMuch, class Check>
int checkProductCall(const char* name, const std::uint8_t* data, std::size_t size,
                     WellFormed isWellFormed, AsksTooMuch asksTooMuch, Check check) {
    static const testhost::Plugin plugin(PLUGIN_PATH);
    const Call call = decodeCall(data, size);
    const bool wellFormed = isWellFormed(call);
    if (wellFormed && asksTooMuch(call)) return 0;
    const testhost::CallResult result = callChecked(plugin, name, call, 1);
    require(result.printed.empty(), name, "printed '" + result.printed + "'");
    if (!wellFormed) {
        require(result.error.has_value(), name, "a malformed call was not refused");
        return 0;
    }
    require(!result.error, name,
            "a well-formed call was refused: " +
                (result.error ? result.error->identifier : std::string()));
    check(call, result);
    return 0;
}

}  // namespace fuzzcall

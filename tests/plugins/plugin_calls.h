#pragma once

// Calling the plug-ins built against our test host, and checking what a
// refused call must leave behind.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testhost.h"

// Each plug-in is loaded once and stays loaded for the whole test program.
inline const testhost::Plugin& plugin(const std::string& name) {
    static std::map<std::string, std::unique_ptr<testhost::Plugin>> loaded;
    auto& slot = loaded[name];
    if (!slot) slot = std::make_unique<testhost::Plugin>(std::string(PLUGIN_DIR "/") + name + PLUGIN_SUFFIX);
    return *slot;
}

inline std::vector<const mxArray*> handles(const std::vector<testhost::ArrayPtr>& arrays) {
    std::vector<const mxArray*> out;
    for (const auto& array : arrays) out.push_back(array.get());
    return out;
}

// A refused call raises the named error, returns nothing and leaves no
// array of its own alive.
inline ::testing::AssertionResult refusedWith(const std::string& pluginName, int nlhs,
                                              const std::vector<const mxArray*>& inputs,
                                              const std::string& identifier,
                                              const std::string& expectPrinted = "") {
    const std::size_t before = testhost::liveArrays();
    testhost::CallResult result = plugin(pluginName).call(nlhs, inputs);
    if (!result.error)
        return ::testing::AssertionFailure() << "no host error; expected " << identifier;
    if (result.error->identifier != identifier)
        return ::testing::AssertionFailure() << "raised " << result.error->identifier << " ("
                                             << result.error->message << "), expected "
                                             << identifier;
    if (result.error->message.empty())
        return ::testing::AssertionFailure() << identifier << " came with no message";
    if (result.printed != expectPrinted)
        return ::testing::AssertionFailure() << "printed \"" << result.printed << "\"";
    for (const auto& output : result.outputs)
        if (output) return ::testing::AssertionFailure() << "an output survived the error";
    if (testhost::liveArrays() != before)
        return ::testing::AssertionFailure()
               << testhost::liveArrays() - before << " array(s) leaked by the refused call";
    return ::testing::AssertionSuccess();
}

// Lifts any creation limit a test set, even when the test fails early.
struct CreationLimit {
    explicit CreationLimit(long long count) { testhost::limitNewArrays(count); }
    ~CreationLimit() { testhost::limitNewArrays(-1); }
};

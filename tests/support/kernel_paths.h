#pragma once

#include <string>

#include <gtest/gtest.h>

#include "kernel_path.h"

// Fixture for tests that run once per kernel path; a path this CPU cannot
// execute is skipped, not silently passed.
class EveryPath : public ::testing::TestWithParam<KernelPath> {
protected:
    void SetUp() override {
        if (!kernelPathAvailable(GetParam()))
            GTEST_SKIP() << kernelPathName(GetParam()) << " is not available on this CPU";
    }
    KernelPath path() const { return GetParam(); }
};

inline std::string kernelPathTestName(const ::testing::TestParamInfo<KernelPath>& info) {
    return kernelPathName(info.param);
}

#define INSTANTIATE_FOR_EVERY_PATH(Suite)                                          \
    INSTANTIATE_TEST_SUITE_P(Paths, Suite, ::testing::ValuesIn(allKernelPaths), \
                             kernelPathTestName)

inline void PrintTo(KernelPath path, std::ostream* out) { *out << kernelPathName(path); }

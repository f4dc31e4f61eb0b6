// Each plug-in module must export the host's entry point and, built with
// 32-bit array sizes, take matrix creation from the _700 entry point.

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

// Names in the module's dynamic symbol table, as `nm -D` lists them.
std::set<std::string> dynamicSymbols(const std::string& module, const char* which) {
    const std::string command = std::string(NM_PROGRAM) + " -D " + which + " " + module;
    std::set<std::string> names;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream fields(line);
        std::string field, last;
        while (fields >> field) last = field;
        names.insert(last.substr(0, last.find('@')));
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    return names;
}

class ModuleSymbols : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(ModuleSymbols, ExportsTheEntryPointAndImportsThe32BitCreation) {
    const std::string module = std::string(PLUGIN_DIR "/") + GetParam() + PLUGIN_SUFFIX;
    const auto exported = dynamicSymbols(module, "--defined-only");
    const auto imported = dynamicSymbols(module, "--undefined-only");
    EXPECT_TRUE(exported.count("mexFunction"));
    EXPECT_TRUE(imported.count("mxCreateDoubleMatrix_700"));
    EXPECT_FALSE(imported.count("mxCreateDoubleMatrix"));
    EXPECT_FALSE(exported.count("mxCreateDoubleMatrix_700"));
}

INSTANTIATE_TEST_SUITE_P(EveryPlugin, ModuleSymbols,
                         ::testing::Values("greedycd", "hardsweep", "clipsweep", "sparsetimes"));

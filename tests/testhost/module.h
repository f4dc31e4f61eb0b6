#pragma once

// Loading a shared module and finding a symbol in it: the only
// platform-specific part of the test host.

#include <string>

namespace testhost {

// The module handle, or nullptr with `error` describing why.
void* openModule(const std::string& path, std::string& error);
void* findSymbol(void* module, const char* name);
void closeModule(void* module);

}  // namespace testhost

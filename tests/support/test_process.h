// Facts about the running test process that tests decide by.
#pragma once

#include <string>

namespace kx::testing {

// The folder of this test executable, with its trailing backslash.
std::string ExecutableDirectory();

// Whether the process runs under Wine, whose system objects differ from Windows' in a few
// known ways.
bool RunningOnWine();

}  // namespace kx::testing

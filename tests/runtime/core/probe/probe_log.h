// What a probe program writes down for the process tests: one line per call, appended to
// the file that KX_PROBE_LOG names (nothing when it names none).
#pragma once

#include <string>

namespace kx::probe {

void Log(const std::string& line);

}  // namespace kx::probe

// Run-time errors: the report routine (error box, then the end of the process with exit
// code -1) and the fixed errors of the runtime. Any thread; a report on a worker thread
// hands the clean-up to the main thread.
#pragma once

#include <cstdint>

namespace kx {

inline constexpr std::int32_t kRuntimeErrorExitCode = -1;

// Shows the error box for (message, code, location1, location2) and ends the process.
[[noreturn]] void ReportRuntimeError(const char* message, std::int32_t code,
                                     std::int32_t location1, std::int32_t location2);

[[noreturn]] void ReportOutOfMemory(std::uint32_t requestedSize);

// Entry slot 0: numbered error `code` at the given locations.
[[noreturn]] void RtRaiseError(std::int32_t code, std::int32_t location1, std::int32_t location2);

// Program code calls this where it would call a subroutine of an external package.
[[noreturn]] void RtNoExternalSubroutine();

}  // namespace kx

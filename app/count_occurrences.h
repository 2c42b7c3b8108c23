// CountOccurrences: how many times a text occurs in another, matches not overlapping. Any
// thread.
#pragma once

#include <cstdint>

namespace clock_app {

std::int32_t CountOccurrences(const char* haystack, const char* needle, bool caseSensitive);

}  // namespace clock_app

// Waiting for the local clock's second to change, without keeping a processor busy. Any
// thread; it blocks for up to about a second.
#pragma once

#include <cstdint>

namespace clock_app {

// Returns within a few milliseconds after SecondOf(Now()) has changed.
void WaitForNextSecond();

// While Now()'s second has not changed yet: how long to sleep before reading it again, given
// how far the system clock is into its own second (both in nanoseconds); 0 means only yield.
std::int64_t SleepBeforeNextReading(std::int64_t nanosecondsIntoSecond);

}  // namespace clock_app

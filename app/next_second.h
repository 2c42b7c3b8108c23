// Waiting for the local clock's second to change, without keeping a processor busy. Any
// thread; it blocks for up to about a second.
#pragma once

namespace clock_app {

// Returns within a few milliseconds after SecondOf(Now()) has changed.
void WaitForNextSecond();

}  // namespace clock_app

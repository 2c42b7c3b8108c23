// The six buttons' click routines: each sets the computer's clock once, in whole seconds,
// and ignores whether the system agreed. Window thread.
#pragma once

namespace clock_app {

void OnMinusSecond();
void OnPlusSecond();
void OnMinusMinute();
void OnPlusMinute();
void OnRoundToMinute();
void OnSync();

}  // namespace clock_app

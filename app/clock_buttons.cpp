#include "clock_buttons.h"

#include <cmath>

#include "core_calls.h"
#include "network_time.h"

namespace clock_app {

namespace {

// Every button but "-1s" first moves its base one second on: Now() has dropped the fraction
// of the running second, so the base plus one second is the next whole second.
double NextSecond(double base) { return AddInterval(base, Interval::kSecond, 1); }

}  // namespace

// Now() itself: the running second without its fraction.
void OnMinusSecond() { SetClock(AddInterval(Now(), Interval::kSecond, 0)); }

void OnPlusSecond() { SetClock(NextSecond(Now())); }

void OnMinusMinute() { SetClock(AddInterval(NextSecond(Now()), Interval::kMinute, -1)); }

void OnPlusMinute() { SetClock(AddInterval(NextSecond(Now()), Interval::kMinute, 1)); }

// To second 1 of the nearest minute: seconds 0-29 go back to this minute, 30-59 on to the
// next. The seconds are read afresh after the base, as the clock may have moved on.
void OnRoundToMinute() {
    const bool roundDown = SecondOf(Now()) <= 29;
    const double base = NextSecond(Now());
    const double second = SecondOf(Now());
    const double amount = roundDown ? second * -1.0 : 60.0 - second;
    SetClock(AddInterval(base, Interval::kSecond, static_cast<std::int32_t>(std::trunc(amount))));
}

void OnSync() { SetClock(NextSecond(LoadNetworkTime())); }

}  // namespace clock_app

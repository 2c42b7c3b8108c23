// Compiled with a UTF-8 execution charset: <chrono> does not build under code page 936. This
// file holds no texts.
#include "next_second.h"

#include <chrono>
#include <thread>

#include "core_calls.h"

namespace clock_app {

namespace {

// System sleeps can overshoot by a scheduler tick (about 16 ms on Windows): sleep until this
// much before the expected change, then only yield between readings.
constexpr auto kSpinMargin = std::chrono::milliseconds(20);

// Time left until the system clock's next whole second. A local second changes with the
// UTC second, as time zones differ by whole minutes.
std::chrono::nanoseconds UntilNextWholeSecond() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto intoSecond = sinceEpoch - std::chrono::floor<std::chrono::seconds>(sinceEpoch);
    return std::chrono::seconds(1) - intoSecond;
}

}  // namespace

void WaitForNextSecond() {
    // The clock that decides is Now(); the system clock only says how long to sleep, so a
    // clock that jumps or differs costs polls, never correctness.
    const std::int32_t start = SecondOf(Now());
    while (SecondOf(Now()) == start) {
        const auto left = UntilNextWholeSecond();
        if (left > kSpinMargin) {
            std::this_thread::sleep_for(left - kSpinMargin);
        } else {
            std::this_thread::yield();
        }
    }
}

}  // namespace clock_app

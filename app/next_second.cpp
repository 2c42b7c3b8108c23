// Compiled with a UTF-8 execution charset: <chrono> does not build under code page 936. This
// file holds no texts.
#include "next_second.h"

#include <chrono>
#include <thread>

#include "core_calls.h"

namespace clock_app {

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// System sleeps can overshoot by a scheduler tick (about 16 ms on Windows): sleep until this
// much before the expected change, then only yield between readings.
constexpr milliseconds kSleepOvershoot{20};
// Now() reads a clock that is updated once a scheduler tick, so its second can change up to
// a tick after the precise system clock's: sleeping on the precise clock's word in that
// stretch would sleep through the whole next second.
constexpr milliseconds kNowLag{20};

// How far the system clock is into its second. A local second changes with the UTC second,
// as time zones differ by whole minutes.
nanoseconds IntoWholeSecond() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return sinceEpoch - std::chrono::floor<std::chrono::seconds>(sinceEpoch);
}

}  // namespace

std::int64_t SleepBeforeNextReading(std::int64_t nanosecondsIntoSecond) {
    const nanoseconds intoSecond{nanosecondsIntoSecond};
    const nanoseconds left = std::chrono::seconds(1) - intoSecond;
    if (intoSecond < kNowLag || left <= kSleepOvershoot) return 0;
    return (left - kSleepOvershoot).count();
}

void WaitForNextSecond() {
    // The clock that decides is Now(); the system clock only says how long to sleep.
    const std::int32_t start = SecondOf(Now());
    while (SecondOf(Now()) == start) {
        const nanoseconds sleep{SleepBeforeNextReading(IntoWholeSecond().count())};
        if (sleep > nanoseconds::zero()) {
            std::this_thread::sleep_for(sleep);
        } else {
            std::this_thread::yield();
        }
    }
}

}  // namespace clock_app

// An in-process local clock for the commands' clock seam: it answers its readings in turn
// (the last one from then on) and records what it is asked to set. Installed for its life.
#pragma once

#include <cstddef>
#include <vector>

#include "clock.h"

namespace kx::testing {

class FakeClock final : public commands::LocalClock {
public:
    explicit FakeClock(commands::LocalTime reading, bool accepts = true) : FakeClock(std::vector{reading}, accepts) {}
    FakeClock(std::vector<commands::LocalTime> readings, bool accepts = true)
        : readings_(std::move(readings)), accepts_(accepts), previous_(commands::InstallLocalClock(this)) {}
    ~FakeClock() override { commands::InstallLocalClock(previous_); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    commands::LocalTime Read() override {
        ++reads;
        const commands::LocalTime reading = readings_[next_];
        if (next_ + 1 < readings_.size()) ++next_;
        return reading;
    }
    bool Set(const commands::LocalTime& time) override { return sets.push_back(time), accepts_; }

    std::vector<commands::LocalTime> sets;
    int reads = 0;

private:
    std::vector<commands::LocalTime> readings_;
    std::size_t next_ = 0;
    bool accepts_;
    commands::LocalClock* previous_;
};

}  // namespace kx::testing

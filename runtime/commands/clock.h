// The computer's local clock as the date-time commands see it: read and set in whole
// seconds. One process-wide instance; tests install their own in-process clock. Any
// thread may read or set; installing a replacement is done before threads start.
#pragma once

namespace kx::commands {

// A local time in calendar parts. dayOfWeek: 0 = Sunday ... 6 = Saturday (set only).
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int dayOfWeek = 0;
};

class LocalClock {
public:
    virtual ~LocalClock() = default;
    // The current local time, whole seconds.
    virtual LocalTime Read() = 0;
    // Asks the system to set the local time; false when it refuses.
    virtual bool Set(const LocalTime& time) = 0;
};

// The clock in use: the installed one, else the system's.
LocalClock& CurrentLocalClock();

// Installs `clock` (null restores the system's); returns the one it replaces.
LocalClock* InstallLocalClock(LocalClock* clock);

}  // namespace kx::commands

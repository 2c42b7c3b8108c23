// The calendar arithmetic behind every date-time command: clamping into the valid range,
// taking a date-time apart (rounded to the second), building one from parts, and adding
// spans and calendar intervals. Pure logic on doubles; no state, any thread.
#pragma once

#include <cstdint>

namespace kx::datetime {

// 1 January 100 and 31 December 9999, both at midnight.
inline constexpr double kMinDate = -657434.0;
inline constexpr double kMaxDate = 2958465.0;

// Days from 1 January of year 0 to 30 December 1899, the day numbered 0.
inline constexpr std::int64_t kDayZeroOffset = 693959;

inline constexpr double kSecondsPerDay = 86400.0;

// Calendar parts of a date-time. dayOfWeek: 1 = Sunday ... 7 = Saturday.
struct DateParts {
    int year = 100;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int dayOfWeek = 1;
    int dayOfYear = 1;
};

// Into [kMinDate, kMaxDate]; NaN goes to the top.
double ClampDate(double date);

bool IsLeapYear(std::int64_t year);
int DaysInMonth(std::int64_t year, int month);

// Parts of a (clamped) date-time, rounded to the nearest second first; fractions of a
// second never survive.
DateParts PartsOf(double date);

// A date-time from parts, each clamped into its range first (the day also to the length
// of its month). Never fails.
double FromParts(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                 std::int64_t minute, std::int64_t second);

// Adds a span of days on the linear time line that the negative encoding hides: fractions
// of a second survive, and the result is not clamped.
double AddSpan(double date, double spanDays);

// The part-taking core: 1 year, 2 quarter, 3 month, 4 week of year, 5 day, 6 hour,
// 7 minute, 8 second, 9 day of week, 10 day of year. Codes outside 1..10 are clamped.
int PartOf(double date, int code);

// Interval units: 1 year, 2 quarter, 3 month, 4 week, 5 day, 6 hour, 7 minute, 8 second.
// Units outside 1..8 are clamped; the date-time is clamped before it is used.
double AddInterval(double date, int unit, std::int32_t amount);

}  // namespace kx::datetime

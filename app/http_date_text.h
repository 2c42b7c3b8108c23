// The HTTP dates the program takes: the three forms every HTTP recipient reads (IMF-fixdate,
// the obsolete RFC 850 form, asctime), in GMT, every field in range, and their rewrite as
// IMF-fixdate, the one form every version of the system's parser is known to read (the
// versions differ on the others). Anything else is no date: the caller falls back rather
// than show a time the text does not state.
// Pure logic; any thread.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace clock_app {

// An instant in UTC, every field in range.
struct HttpDate {
    int year = 0;
    int month = 0;   // 1..12
    int day = 0;     // 1..days of the month
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59
    bool operator==(const HttpDate&) const = default;
};

// The years the program takes: the system's date record starts at 1601; and eight hours on,
// the instant must not lie past the last a date-time holds (31 December 9999, 00:00:00).
inline constexpr int kFirstHttpYear = 1601;
inline constexpr int kLastHttpYear = 9999;

// The instant `text` states, or nullopt. Blanks (space, tab) may lead, trail and separate the
// parts; names are read without regard to case, the weekday short or full, the day one or two
// digits. The zone must be GMT, UT or UTC: an offset or another zone is refused, not applied.
// A two-digit year is the year with those digits no more than 50 years after `currentYear`
// (and less than 50 before it). A leap second, 23:59:60, reads as 23:59:59; a second of 60 at
// any other time is refused. The weekday name is not checked against the date.
std::optional<HttpDate> ReadHttpDate(std::string_view text, int currentYear);

// "Sun, 06 Nov 1994 08:49:37 GMT" and its terminating zero; the weekday is the date's own.
inline constexpr std::size_t kImfFixdateSize = 30;
std::array<char, kImfFixdateSize> ImfFixdate(const HttpDate& date);

// The calendar year of a date-time (days since 30 December 1899, the fraction the time of day).
int YearOfDateTime(double dateTime);

}  // namespace clock_app

// The calendar arithmetic on its own: hand-worked dates before day 0, the walk over every
// earlier day, rounding to the second and the part codes. Pure: also built natively.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "datetime/calendar.h"
#include "pure/date_parts_text.h"

namespace kx::datetime {
namespace {

constexpr double kSecond = 1.0 / 86400;

struct Row { double date; const char* parts; };

TEST(Calendar, NegativeDatesCountDaysBackwardsAndTimeForwards) {
    const Row rows[] = {
        {-657434.0, "0100-01-01 00:00:00 w6 y1"},   {-657433.5, "0100-01-02 12:00:00 w7 y2"},
        {-657375.0, "0100-03-01 00:00:00 w2 y60"},  {-109512.0, "1600-02-29 00:00:00 w3 y60"},
        {-53797.5, "1752-09-14 12:00:00 w5 y258"},  {-36522.25, "1800-01-01 06:00:00 w4 y1"},
        {-1.25, "1899-12-29 06:00:00 w6 y363"},     {-0.5, "1899-12-30 12:00:00 w7 y364"},
    };
    for (const Row& row : rows) {
        const DateParts p = PartsOf(row.date);
        EXPECT_EQ(Describe(p), row.parts) << row.date;
        // Day 0 has no negative form: -0.5 is built as 0.5.
        EXPECT_EQ(FromParts(p.year, p.month, p.day, p.hour, p.minute, p.second), row.date > -1 ? -row.date : row.date);
    }
}

TEST(Calendar, EveryDayBeforeDayZeroFollowsItsPredecessor) {
    DateParts before = PartsOf(kMinDate);
    for (std::int64_t day = -657433; day <= 0; ++day) {
        const DateParts p = PartsOf(static_cast<double>(day));
        const bool newMonth = p.day == 1, newYear = newMonth && p.month == 1;
        ASSERT_EQ(p.year, before.year + newYear) << day;
        ASSERT_EQ(p.month, newYear ? 1 : before.month + newMonth) << day;
        ASSERT_EQ(before.day, newMonth ? DaysInMonth(before.year, before.month) : p.day - 1) << day;
        ASSERT_EQ(p.dayOfWeek, before.dayOfWeek % 7 + 1) << day;
        ASSERT_EQ(p.dayOfYear, newYear ? 1 : before.dayOfYear + 1) << day;
        before = p;
    }
}

TEST(Calendar, RoundsToTheNearestSecondHalvesUpAndClamps) {
    const Row rows[] = {
        {46361 + 43259.6 * kSecond, "2026-12-05 12:01:00 w7 y339"},
        {46361 + 43259.4 * kSecond, "2026-12-05 12:00:59 w7 y339"},
        // k/256 of a day, k odd, is exactly on a half second: 00:05:37.5, 00:16:52.5.
        {46361 + 1.0 / 256, "2026-12-05 00:05:38 w7 y339"}, {-36522 - 3.0 / 256, "1800-01-01 00:16:53 w4 y1"},
        {46361 + 86399.6 * kSecond, "2026-12-06 00:00:00 w1 y340"},
        // Before day 0 a time rounded up to midnight moves to the next calendar day too.
        {-1 - 86399.6 * kSecond, "1899-12-30 00:00:00 w7 y364"}, {-86399.6 * kSecond, "1899-12-31 00:00:00 w1 y365"},
        {2958464 + 86399.7 * kSecond, "9999-12-31 00:00:00 w6 y365"},
        {std::nan(""), "9999-12-31 00:00:00 w6 y365"},      {3e6, "9999-12-31 00:00:00 w6 y365"},
        {kMaxDate + 0.5, "9999-12-31 00:00:00 w6 y365"},
        {kMinDate - 1.0 / 3, "0100-01-01 00:00:00 w6 y1"},
        {-std::numeric_limits<double>::infinity(), "0100-01-01 00:00:00 w6 y1"},
    };
    for (const Row& row : rows) EXPECT_EQ(Describe(PartsOf(row.date)), row.parts) << row.date;
}

TEST(Calendar, PartCodesAreClampedIntoOneToTen) {
    const double date = 46361 + 50703 * kSecond;  // Saturday 5 December 2026, 14:05:03
    const int expected[] = {2026, 2026, 4, 12, 49, 5, 14, 5, 3, 7, 339, 339};
    for (int code = 0; code <= 11; ++code) EXPECT_EQ(PartOf(date, code), expected[code]) << code;
    EXPECT_EQ(PartOf(45351, 4), 9);  // 29 February: day 60, ninth week
}

}  // namespace
}  // namespace kx::datetime

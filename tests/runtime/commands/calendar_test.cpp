// The calendar arithmetic, checked against the system's own date conversions (OLE
// Automation) over every non-negative day, and against hand-worked negative dates.
#include "datetime/calendar.h"

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace kx::datetime {
namespace {

constexpr double kSecond = 1.0 / 86400;

std::string Describe(const DateParts& p) {
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d dow %d doy %d", p.year, p.month,
                  p.day, p.hour, p.minute, p.second, p.dayOfWeek, p.dayOfYear);
    return text;
}

DateParts Expected(int year, int month, int day, int hour, int minute, int second, int dayOfWeek,
                   int dayOfYear) {
    return {year, month, day, hour, minute, second, dayOfWeek, dayOfYear};
}

TEST(Calendar, PartsAgreeWithTheSystemOnEveryNonNegativeDay) {
    // A different time of day on every day, with quarter-second offsets that the system
    // rounds the same way (away from the half second).
    constexpr double kOffsets[] = {0.0, 0.25, 0.75};
    int mismatches = 0;
    std::string first;
    for (std::int64_t day = 0; day <= 2958465; ++day) {
        const double second = day == 2958465 ? 0.0
                                             : static_cast<double>((day * 7919) % 86400) + kOffsets[day % 3];
        const double date = static_cast<double>(day) + second / 86400;
        UDATE system{};
        if (VarUdateFromDate(date, 0, &system) != S_OK) {
            ++mismatches;
            continue;
        }
        const DateParts want = Expected(system.st.wYear, system.st.wMonth, system.st.wDay,
                                        system.st.wHour, system.st.wMinute, system.st.wSecond,
                                        system.st.wDayOfWeek + 1, system.wDayOfYear);
        const DateParts got = PartsOf(date);
        if (Describe(got) != Describe(want) && mismatches++ == 0) {
            first = std::to_string(date) + ": " + Describe(got) + " vs " + Describe(want);
        }
    }
    EXPECT_EQ(mismatches, 0) << first;
}

TEST(Calendar, BuildingFromPartsAgreesWithTheSystemOnEveryNonNegativeDay) {
    int mismatches = 0;
    std::string first;
    for (std::int64_t day = 0; day <= 2958465; ++day) {
        const auto second = static_cast<int>((day * 7919) % 86400);
        SYSTEMTIME parts{};
        if (!VariantTimeToSystemTime(static_cast<double>(day) + second / 86400.0, &parts)) {
            ++mismatches;
            continue;
        }
        double want = 0;
        SystemTimeToVariantTime(&parts, &want);
        const double got = FromParts(parts.wYear, parts.wMonth, parts.wDay, parts.wHour,
                                     parts.wMinute, parts.wSecond);
        // The system sums the time fields in another order; a millisecond is far below
        // one second and far above any rounding difference.
        if (std::fabs(got - want) > 0.001 * kSecond && mismatches++ == 0) {
            first = std::to_string(got) + " vs " + std::to_string(want);
        }
    }
    EXPECT_EQ(mismatches, 0) << first;
}

TEST(Calendar, NegativeDatesCountDaysBackwardsAndTimeForwards) {
    struct Row {
        double date;
        DateParts parts;
    };
    const Row rows[] = {
        {-657434.0, Expected(100, 1, 1, 0, 0, 0, 6, 1)},
        {-657433.5, Expected(100, 1, 2, 12, 0, 0, 7, 2)},
        {-657375.0, Expected(100, 3, 1, 0, 0, 0, 2, 60)},
        {-109512.0, Expected(1600, 2, 29, 0, 0, 0, 3, 60)},
        {-53797.5, Expected(1752, 9, 14, 12, 0, 0, 5, 258)},
        {-36522.25, Expected(1800, 1, 1, 6, 0, 0, 4, 1)},
        {-1.25, Expected(1899, 12, 29, 6, 0, 0, 6, 363)},
        {-1.0, Expected(1899, 12, 29, 0, 0, 0, 6, 363)},
        {-0.5, Expected(1899, 12, 30, 12, 0, 0, 7, 364)},
        {0.0, Expected(1899, 12, 30, 0, 0, 0, 7, 364)},
        {61.0, Expected(1900, 3, 1, 0, 0, 0, 5, 60)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Describe(PartsOf(row.date)), Describe(row.parts)) << row.date;
        // Built back, except that day 0 has no negative form: -0.5 and 0.5 are both noon.
        const DateParts& p = row.parts;
        EXPECT_EQ(FromParts(p.year, p.month, p.day, p.hour, p.minute, p.second),
                  row.date > -1.0 ? std::fabs(row.date) : row.date);
    }
}

TEST(Calendar, EveryNegativeDayFollowsItsPredecessor) {
    DateParts previous = PartsOf(kMinDate);
    for (std::int64_t day = -657433; day <= 0; ++day) {
        const DateParts p = PartsOf(static_cast<double>(day));
        const bool newYear = p.month == 1 && p.day == 1;
        const bool newMonth = p.day == 1;
        ASSERT_EQ(p.year, previous.year + (newYear ? 1 : 0)) << day;
        ASSERT_EQ(p.month, newYear ? 1 : previous.month + (newMonth ? 1 : 0)) << day;
        ASSERT_EQ(p.day, newMonth ? 1 : previous.day + 1) << day;
        ASSERT_EQ(previous.day, newMonth ? DaysInMonth(previous.year, previous.month) : p.day - 1);
        ASSERT_EQ(p.dayOfWeek, previous.dayOfWeek % 7 + 1) << day;
        ASSERT_EQ(p.dayOfYear, newYear ? 1 : previous.dayOfYear + 1) << day;
        previous = p;
    }
}

TEST(Calendar, RoundsToTheNearestSecondHalvesUp) {
    struct Row {
        double date;
        const char* parts;
    };
    const Row rows[] = {
        {46361 + 43259.6 * kSecond, "2026-12-05 12:01:00 dow 7 doy 339"},
        {46361 + 43259.4 * kSecond, "2026-12-05 12:00:59 dow 7 doy 339"},
        // k/256 of a day is an exact half second for odd k: 00:05:37.5 and 00:16:52.5.
        {46361 + 1.0 / 256, "2026-12-05 00:05:38 dow 7 doy 339"},
        {46361 + 3.0 / 256, "2026-12-05 00:16:53 dow 7 doy 339"},
        {-(1.0 / 256), "1899-12-30 00:05:38 dow 7 doy 364"},
        {-(36522 + 3.0 / 256), "1800-01-01 00:16:53 dow 4 doy 1"},
        {46361 + 86399.6 * kSecond, "2026-12-06 00:00:00 dow 1 doy 340"},
        // Before day 0 a time rounded up to midnight is the next calendar day as well.
        {-(1 + 86399.6 * kSecond), "1899-12-30 00:00:00 dow 7 doy 364"},
        {-(86399.6 * kSecond), "1899-12-31 00:00:00 dow 1 doy 365"},
        {-(36523 + 86399.6 * kSecond), "1800-01-01 00:00:00 dow 4 doy 1"},
        {2958464 + 86399.7 * kSecond, "9999-12-31 00:00:00 dow 6 doy 365"},
    };
    for (const Row& row : rows) EXPECT_EQ(Describe(PartsOf(row.date)), row.parts) << row.date;
}

TEST(Calendar, ClampsIntoTheValidRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    struct Row {
        double in;
        double out;
    };
    const Row rows[] = {
        {nan, kMaxDate},          {infinity, kMaxDate},         {-infinity, kMinDate},
        {2958465.5, kMaxDate},    {-657434.0 - 1.0 / 3, kMinDate}, {kMinDate, kMinDate},
        {kMaxDate, kMaxDate},     {-1.25, -1.25},               {46361.75, 46361.75},
    };
    for (const Row& row : rows) EXPECT_EQ(ClampDate(row.in), row.out) << row.in;
    EXPECT_EQ(Describe(PartsOf(nan)), "9999-12-31 00:00:00 dow 6 doy 365");
    EXPECT_EQ(Describe(PartsOf(-657434.0 - 1.0 / 3)), "0100-01-01 00:00:00 dow 6 doy 1");
}

TEST(Calendar, PartsAreClampedBeforeADateIsBuilt) {
    struct Row {
        std::int64_t year, month, day, hour, minute, second;
        double date;
    };
    const Row rows[] = {
        {2023, 2, 31, 25, 70, -5, 44985 + 86340 * kSecond},
        {0, 0, 0, 0, 0, 0, kMinDate},
        {2024, 2, 30, 0, 0, 0, 45351},
        {1900, 2, 29, 0, 0, 0, 60},
        {2000, 2, 29, 0, 0, 0, 36585},
        {12345, 99, 99, 99, 99, 99, 2958465 + 86399 * kSecond},
        {-5, 4, 31, 0, 0, 0, -657434 + 119},
    };
    for (const Row& row : rows) {
        EXPECT_DOUBLE_EQ(FromParts(row.year, row.month, row.day, row.hour, row.minute, row.second),
                         row.date)
            << row.year << "-" << row.month << "-" << row.day;
    }
}

TEST(Calendar, SpansRunForwardsAcrossTheNegativeEncoding) {
    struct Row {
        double date, span, result;
    };
    const Row rows[] = {
        {-1.25, 1.0, 0.25},    // 29 Dec 06:00 + 1 day = 30 Dec 06:00
        {-1.25, 0.5, -1.75},   // + 12 hours = 29 Dec 18:00
        {0.25, -0.5, -1.75},   // 30 Dec 06:00 - 12 hours = 29 Dec 18:00
        {-2.0, 0.25, -2.25},
        {kMinDate, 1.0 / 3, -657434.0 - 1.0 / 3},  // not clamped
        {46361.5, -46362.0, -1.5},
    };
    for (const Row& row : rows) EXPECT_DOUBLE_EQ(AddSpan(row.date, row.span), row.result) << row.date;
}

TEST(Calendar, PartCodesAndTheirClamps) {
    const double date = 46361 + (14 * 3600 + 5 * 60 + 3) * kSecond;  // Saturday 5 Dec 2026
    struct Row {
        int code, value;
    };
    const Row rows[] = {{-3, 2026}, {0, 2026}, {1, 2026}, {2, 4},  {3, 12},   {4, 49},   {5, 5},
                        {6, 14},    {7, 5},    {8, 3},    {9, 7},  {10, 339}, {11, 339}, {99, 339}};
    for (const Row& row : rows) EXPECT_EQ(PartOf(date, row.code), row.value) << row.code;
    EXPECT_EQ(PartOf(45351, 2), 1);   // February: first quarter
    EXPECT_EQ(PartOf(45351, 4), 9);   // day 60: ninth week
}

}  // namespace
}  // namespace kx::datetime

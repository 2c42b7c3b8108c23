#include "datetime/calendar.h"

#include <algorithm>
#include <cmath>

namespace kx::datetime {

namespace {

// Days of a common year before each month.
constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

std::int64_t Clamp64(std::int64_t value, std::int64_t low, std::int64_t high) {
    return std::min(std::max(value, low), high);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The negative encoding counts whole days backwards but the time of day forwards; on the
// linear line time always runs forwards, so spans can simply be added.
double ToLinear(double date) { return date < 0 ? 2 * std::ceil(date) - date : date; }
double FromLinear(double linear) { return linear < 0 ? 2 * std::floor(linear) - linear : linear; }

struct CivilDate {
    std::int64_t year;
    int month;
    int day;
};

// Days since 1 January of year 0 -> Gregorian date, by 400-, 100- and 4-year cycles counted
// from 1 March of year 0, so that each cycle ends with its leap day. `days` is at least 60.
CivilDate CivilFromDays(std::int64_t days) {
    const std::int64_t sinceMarch = days - 60;
    const std::int64_t cycle = sinceMarch / 146097;
    const std::int64_t dayOfCycle = sinceMarch - cycle * 146097;
    const std::int64_t yearOfCycle =
        (dayOfCycle - dayOfCycle / 1460 + dayOfCycle / 36524 - dayOfCycle / 146096) / 365;
    const std::int64_t dayOfMarchYear =
        dayOfCycle - (365 * yearOfCycle + yearOfCycle / 4 - yearOfCycle / 100);
    const std::int64_t monthFromMarch = (5 * dayOfMarchYear + 2) / 153;
    const int day = static_cast<int>(dayOfMarchYear - (153 * monthFromMarch + 2) / 5 + 1);
    const int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    const std::int64_t year = yearOfCycle + cycle * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

}  // namespace

double ClampDate(double date) {
    if (std::isnan(date) || date > kMaxDate) return kMaxDate;
    if (date < kMinDate) return kMinDate;
    return date;
}

bool IsLeapYear(std::int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(std::int64_t year, int month) {
    return month == 2 && IsLeapYear(year) ? 29 : kDaysInMonth[month - 1];
}

DateParts PartsOf(double date) {
    date = ClampDate(date);
    // The time of day (the fraction's magnitude in either encoding) rounded to the nearest
    // second, halves up. Working in seconds of the day, which are exact once the whole
    // days are split off, keeps a value lying exactly on a half second from being
    // truncated to the second below it.
    const double magnitude = std::fabs(date);
    const double wholeDays = std::floor(magnitude);
    double seconds = std::floor((magnitude - wholeDays) * kSecondsPerDay + 0.5);
    auto dayNumber = static_cast<std::int64_t>(date > 0 ? wholeDays : -wholeDays);
    // A time rounded up to midnight belongs to the next calendar day. Before day 0 the
    // whole part counts backwards, so that day is one nearer to zero there too, not one
    // further away as rounding the magnitude of the whole value would make it.
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++dayNumber;
    }
    const auto secondOfDay = static_cast<int>(seconds);

    const std::int64_t days = dayNumber + kDayZeroOffset;
    const CivilDate civil = CivilFromDays(days);

    DateParts parts;
    parts.year = static_cast<int>(civil.year);
    parts.month = civil.month;
    parts.day = civil.day;
    parts.hour = secondOfDay / 3600;
    parts.minute = secondOfDay / 60 % 60;
    parts.second = secondOfDay % 60;
    parts.dayOfWeek = static_cast<int>((days - 1) % 7) + 1;
    parts.dayOfYear = kDaysBeforeMonth[civil.month - 1] + civil.day +
                      (civil.month > 2 && IsLeapYear(civil.year) ? 1 : 0);
    return parts;
}

double FromParts(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour,
                 std::int64_t minute, std::int64_t second) {
    year = Clamp64(year, 100, 9999);
    month = Clamp64(month, 1, 12);
    const int monthIndex = static_cast<int>(month) - 1;
    day = Clamp64(day, 1, DaysInMonth(year, static_cast<int>(month)));
    hour = Clamp64(hour, 0, 23);
    minute = Clamp64(minute, 0, 59);
    second = Clamp64(second, 0, 59);

    // year / 4 - year / 100 + year / 400 counts the leap days up to and including this
    // year's; before March of a leap year its own has not happened yet.
    std::int64_t dayNumber = year * 365 + year / 4 - year / 100 + year / 400 +
                             kDaysBeforeMonth[monthIndex] + day - kDayZeroOffset;
    if (month <= 2 && IsLeapYear(year)) --dayNumber;

    const double fraction = static_cast<double>(hour * 3600 + minute * 60 + second) / kSecondsPerDay;
    const auto whole = static_cast<double>(dayNumber);
    return dayNumber >= 0 ? whole + fraction : whole - fraction;
}

double AddSpan(double date, double spanDays) { return FromLinear(ToLinear(date) + spanDays); }

int PartOf(double date, int code) {
    const DateParts parts = PartsOf(date);
    switch (std::clamp(code, 1, 10)) {
        case 1: return parts.year;
        case 2: return (parts.month - 1) / 3 + 1;
        case 3: return parts.month;
        case 4: return (parts.dayOfYear - 1) / 7 + 1;
        case 5: return parts.day;
        case 6: return parts.hour;
        case 7: return parts.minute;
        case 8: return parts.second;
        case 9: return parts.dayOfWeek;
        default: return parts.dayOfYear;
    }
}

double AddInterval(double date, int unit, std::int32_t amount) {
    unit = std::clamp(unit, 1, 8);
    date = ClampDate(date);
    if (amount == 0) return date;

    std::int64_t months = amount;
    std::int64_t spanUnits = amount;
    double unitsPerDay = 1.0;
    switch (unit) {
        case 1: {
            const DateParts p = PartsOf(date);
            return FromParts(p.year + std::int64_t{amount}, p.month, p.day, p.hour, p.minute,
                             p.second);
        }
        case 2:
            months = std::int64_t{amount} * 3;
            [[fallthrough]];
        case 3: {
            const DateParts p = PartsOf(date);
            // Month arithmetic carried into the year, as stepping by twelve would.
            const std::int64_t monthIndex = p.month - 1 + months;
            const std::int64_t yearCarry = FloorDiv(monthIndex, 12);
            return FromParts(p.year + yearCarry, monthIndex - yearCarry * 12 + 1, p.day, p.hour,
                             p.minute, p.second);
        }
        case 4: spanUnits = std::int64_t{amount} * 7; break;
        case 5: break;
        case 6: unitsPerDay = 24; break;
        case 7: unitsPerDay = 1440; break;
        default: unitsPerDay = 86400; break;
    }
    // Divided rather than multiplied by the unit's share of a day, so that one second is
    // exactly 1/86400 of a day.
    const double spanDays = static_cast<double>(spanUnits < 0 ? -spanUnits : spanUnits) / unitsPerDay;
    return AddSpan(date, spanUnits > 0 ? spanDays : -spanDays);
}

}  // namespace kx::datetime

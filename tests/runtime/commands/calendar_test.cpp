// The calendar arithmetic checked against the system's own date conversions (OLE Automation)
// on every non-negative day.
#include "datetime/calendar.h"
#include "pure/date_parts_text.h"

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace kx::datetime {
namespace {

constexpr double kSecond = 1.0 / 86400;

TEST(Calendar, AgreesWithTheSystemOnEveryNonNegativeDay) {
    // A different time on every day, with quarter seconds that the system rounds alike.
    constexpr double kFractions[] = {0.0, 0.25, 0.75};
    int mismatches = 0;
    std::string first;
    for (std::int64_t day = 0; day <= 2958465; ++day) {
        const double second = day == 2958465 ? 0 : static_cast<double>(day * 7919 % 86400) + kFractions[day % 3];
        const double date = static_cast<double>(day) + second / 86400;
        UDATE system{};
        VarUdateFromDate(date, 0, &system);
        SYSTEMTIME& st = system.st;
        const DateParts want{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond,
                             st.wDayOfWeek + 1, system.wDayOfYear};
        double built = 0;
        SystemTimeToVariantTime(&st, &built);
        const DateParts got = PartsOf(date);
        // The system sums the time fields in another order: allow a millisecond.
        const double ours = FromParts(got.year, got.month, got.day, got.hour, got.minute, got.second);
        if ((Describe(got) != Describe(want) || std::fabs(ours - built) > 0.001 * kSecond) && mismatches++ == 0) {
            first = std::to_string(date) + ": " + Describe(got) + " vs " + Describe(want);
        }
    }
    EXPECT_EQ(mismatches, 0) << first;
}

}  // namespace
}  // namespace kx::datetime

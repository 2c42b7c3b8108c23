// The date-time commands through their CommandFn, with an in-process clock.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "command_calls.h"
#include "core_commands.h"
#include "datetime/calendar.h"

namespace kx {
namespace {

using namespace kx::testing;
using commands::AddInterval, commands::MakeDateTime, commands::LocalTime;

constexpr double kSecond = 1.0 / 86400, kMin = datetime::kMinDate;
const ValueCell kOmitted = ValueCell::Omitted();
const double t = 46361 + 50703 * kSecond;  // 5 December 2026, 14:05:03
const double f = t + 0.3 * kSecond;

ValueCell D(double date) { return ValueCell::DateTime(date); }
double DateOf(CommandFn command, Cells arguments) {
    const ValueCell result = Call(command, arguments);
    EXPECT_EQ(result.type(), type_word::kDateTime);
    return result.AsDouble();
}
std::string DateText(double date) { return testing::TextOf(commands::ToText, {D(date)}); }

TEST(DateTimeCommands, NowOnTheSystemClockIsTheLocalTimeInWholeSeconds) {
    // The real clock, read by the system before and after the command; a reading that
    // straddles a change of second is taken again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        SYSTEMTIME before, after;
        GetLocalTime(&before);
        const double now = DateOf(commands::Now, {});
        GetLocalTime(&after);
        if (before.wSecond != after.wSecond) continue;
        EXPECT_EQ(now, datetime::FromParts(before.wYear, before.wMonth, before.wDay, before.wHour, before.wMinute,
                                           before.wSecond));
        return;
    }
    ADD_FAILURE() << "the second changed during every reading";
}

TEST(DateTimeCommands, NowReadsTheClockInWholeSecondsAndClampsItsParts) {
    FakeClock clock(LocalTime{2026, 12, 5, 14, 5, 3});
    EXPECT_EQ(DateText(DateOf(commands::Now, {})), "2026年12月5日14时5分3秒");
    FakeClock odd(LocalTime{2026, 13, 40, 30, 61, 61});
    EXPECT_EQ(DateText(DateOf(commands::Now, {})), "2026年12月31日23时59分59秒");
}

TEST(DateTimeCommands, SecondOfRoundsFirst) {
    const std::pair<ValueCell, const char*> rows[] = {
        {D(46361.5 + 59.6 * kSecond), "#0"}, {D(46361.5 + 59.4 * kSecond), "#59"}, {D(-1.25 - 30 * kSecond), "#30"},
        {D(std::nan("")), "#0"}, {T("12:00:30"), "#0"},
    };
    for (const auto& [date, second] : rows) EXPECT_EQ(Shown(Call(commands::SecondOf, {date})), second) << date.AsDouble();
}

TEST(DateTimeCommands, MakeDateTimeAndAddInterval) {
    struct Row { CommandFn command; Cells arguments; double date; };
    const Row rows[] = {
        {MakeDateTime, {I(2026), I(12), I(5), I(14), I(5), I(3)}, t},
        {MakeDateTime, {I(0), I(0), I(0), I(0), I(0), I(0)}, kMin},  {MakeDateTime, {}, kMin},
        {MakeDateTime, {I(2023), I(2), I(31), I(25), I(70), I(-5)}, 44985 + 86340 * kSecond},
        {MakeDateTime, {I(2026), kOmitted, I(5), kOmitted, I(30)}, 46027 + 1800 * kSecond},
        {MakeDateTime, {I(INT_MAX), I(INT_MIN), I(INT_MAX)}, 2958131},  // 31 January 9999
        {MakeDateTime, {ValueCell::Short(2024), ValueCell::Byte(2), ValueCell::Double(29.9)}, 45351},
        // Calendar units: 31 Jan 2024 + 1 month, 29 Feb 2024 + 1 year, 15 Mar 2024 - 3 months,
        // 30 Nov 2023 + 1 quarter, 1 Jun 9999 + 10 years.
        {AddInterval, {D(45322), I(3), I(1)}, 45351},    {AddInterval, {D(45351), I(1), I(1)}, 45716},
        {AddInterval, {D(45366), I(3), I(-3)}, 45275},   {AddInterval, {D(45260), I(2), I(1)}, 45351},
        {AddInterval, {D(2958252), I(1), I(10)}, 2958252},
        {AddInterval, {D(t), I(3), I(-11)}, t - 334},   {AddInterval, {D(t), I(0), I(5)}, t + 1826},
        {AddInterval, {D(t), I(3), I(INT_MAX)}, 2958286 + 50703 * kSecond},  // 5 July 9999
        {AddInterval, {D(t), I(2), I(INT_MIN)}, -657096 - 50703 * kSecond},  // 5 December 100
        {AddInterval, {D(f), I(1), I(1)}, t + 365},     // the parts drop the fraction
        // Span units keep the fraction and run forwards across day 0.
        {AddInterval, {D(f), I(8), I(0)}, f},           {AddInterval, {D(f), I(9), I(5)}, f + 5 * kSecond},
        {AddInterval, {D(f), I(7), I(-1)}, f - 60 * kSecond},  {AddInterval, {D(f), I(6), I(8)}, f + 8.0 / 24},
        {AddInterval, {D(f), I(4), I(-2)}, f - 14},     {AddInterval, {D(f), I(5), I(-46362)}, -1 - (f - 46361)},
        {AddInterval, {D(-1.25), I(6), I(18)}, 0.0},    {AddInterval, {D(kMin), I(6), I(8)}, kMin - 8.0 / 24},
        {AddInterval, {D(std::nan("")), I(8), I(0)}, datetime::kMaxDate},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_DOUBLE_EQ(DateOf(rows[i].command, rows[i].arguments), rows[i].date) << "row " << i;
    }
    // Eight hours past the lowest date-time reads back as its midnight; one second more is
    // added to that clamped midnight, lands before it, and still reads as it.
    const double again = DateOf(AddInterval, {D(kMin - 8.0 / 24), I(8), I(1)});
    EXPECT_LT(again, kMin);
    EXPECT_EQ(DateText(kMin - 8.0 / 24) + DateText(again), "100年1月1日100年1月1日");
}

TEST(DateTimeCommands, SetClockSetsWholeSecondsAndReportsRefusal) {
    FakeClock clock(LocalTime{});
    const ValueCell set = Call(commands::SetClock, {D(46361.5 + 59.7 * kSecond)});
    EXPECT_EQ(std::make_pair(set.type(), set.low()), std::make_pair(type_word::kLogical, Word{1}));
    ASSERT_EQ(clock.sets.size(), 1u);
    const LocalTime& s = clock.sets[0];
    EXPECT_EQ((std::vector<int>{s.year, s.month, s.day, s.hour, s.minute, s.second, s.dayOfWeek}),
              (std::vector<int>{2026, 12, 5, 12, 1, 0, 6}));
    FakeClock refusing(LocalTime{}, false);
    EXPECT_EQ(Call(commands::SetClock, {D(std::nan(""))}).low(), 0u);
    ASSERT_EQ(refusing.sets.size(), 1u);
    EXPECT_EQ(refusing.sets[0].year * 10000 + refusing.sets[0].month * 100 + refusing.sets[0].day, 99991231);
}

}  // namespace
}  // namespace kx

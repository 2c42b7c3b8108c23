// The clock corrector's routines in process, on the application's own image with the local
// clock replaced: the tick and the buttons on the real start form, the network time's one
// lock, counting occurrences and the wait for the next second.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "clock_display.h"
#include "core_calls.h"
#include "count_occurrences.h"
#include "entries.h"
#include "event_routines.h"
#include "fake_clock.h"
#include "kx/program_image.h"
#include "kx/program_routines.h"
#include "main_form.h"
#include "memory.h"
#include "network_time.h"
#include "next_second.h"
#include "runtime_app.h"
#include "window_layer.h"

namespace clock_app {
namespace {

using kx::commands::LocalTime;
using kx::testing::FakeClock;

constexpr double kFetched = 46361.0 + (14 * 3600 + 5 * 60 + 2) / 86400.0;  // 2026-12-05 14:05:02
constexpr double kFailedFetch = -657434.0 - 8.0 / 24;                      // 1 January 100, 8 hours on

int NoProgram() { return 0; }

// A local time as "YYYY-MM-DD hh:mm:ss", for comparing what the clock was asked to become.
std::string Text(const LocalTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

class AppRoutines : public ::testing::Test {
protected:
    void SetUp() override {
        app_.InitRuntime();
        StoreNetworkTime(0.0);
    }

    kx::RuntimeApp app_{&kx::image::Header(), NoProgram};
};

// The real start form, loaded before the routines are bound: the window-created routine
// would fetch the time.
class StartForm : public ::testing::Test {
protected:
    void SetUp() override {
        app_.InitRuntime();
        kx::RtLoadStartForm(kMainFormId);
    }
    void TearDown() override {
        for (kx::Word place = 0; place < kx::image::kProgramRoutineCount; ++place) {
            kx::image::BindProgramRoutine(static_cast<kx::image::ProgramRoutine>(place), nullptr);
        }
    }
    static std::string LabelText(kx::Word label) {
        auto* text = kx::FromWord<char*>(static_cast<kx::Word>(kx::RtReadProperty(kMainFormId, label, 8, -1)));
        std::string copy(text ? text : "");
        kx::RtFree(text);
        return copy;
    }

    kx::RuntimeApp app_{&kx::image::Header(), NoProgram, &kx::forms::WindowLayer()};
};

TEST_F(StartForm, TheTickShowsBothTimesAndCountsTheNetworkTimeUpClampedAfterAFailedFetch) {
    EXPECT_EQ(LabelText(kLocalTimeLabel), "当前时间：XXXX-XX-XX 00:00:00");
    FakeClock clock(LocalTime{2026, 12, 5, 14, 0, 0});
    StoreNetworkTime(kFetched - 1.0 / 86400);
    OnTimerTick();
    EXPECT_EQ(LabelText(kLocalTimeLabel), "当前时间：2026年12月5日14时");
    EXPECT_EQ(LabelText(kNetworkTimeLabel), "北京时间：2026年12月5日14时5分2秒");
    OnTimerTick();
    EXPECT_EQ(LabelText(kNetworkTimeLabel), "北京时间：2026年12月5日14时5分3秒");
    StoreNetworkTime(kFailedFetch);
    for (int tick = 0; tick < 3; ++tick) OnTimerTick();
    EXPECT_EQ(LabelText(kNetworkTimeLabel), "北京时间：100年1月1日");
}

// Each button, clicked, sets the clock once to its own whole second, across the ends of
// minutes, months and years. 至0 reads the clock three times, which may move on between them:
// the direction comes from the first reading, the amount from the last.
TEST_F(StartForm, EachButtonClickedSetsTheClockOnceToItsWholeSecond) {
    BindEventRoutines();
    HWND form = static_cast<HWND>(kx::forms::WindowLayer().UnitWindowHandle(kMainFormId, 0));
    const LocalTime kMorning{2026, 12, 5, 10, 20, 15};
    struct Row { const wchar_t* caption; const char* name; std::vector<LocalTime> readings; const char* set;
                 double networkTime = kFetched; };
    const Row rows[] = {
        {L"-1s", "-1s", {kMorning}, "2026-12-05 10:20:15"},
        {L"+1s", "+1s", {kMorning}, "2026-12-05 10:20:16"},
        {L"-1m", "-1m", {kMorning}, "2026-12-05 10:19:16"},
        {L"+1m", "+1m", {kMorning}, "2026-12-05 10:21:16"},
        {L"+1s", "+1s at the year's end", {{2026, 12, 31, 23, 59, 59}}, "2027-01-01 00:00:00"},
        {L"+1m", "+1m at a month's end", {{2026, 11, 30, 23, 59, 30}}, "2026-12-01 00:00:31"},
        {L"-1m", "-1m at the year's start", {{2027, 1, 1, 0, 0, 30}}, "2026-12-31 23:59:31"},
        {L"-1s", "-1s at midnight", {{2027, 3, 1, 0, 0, 0}}, "2027-03-01 00:00:00"},
        {L"至0", "至0 at :15", {kMorning}, "2026-12-05 10:20:01"},
        {L"至0", "至0 at :29", {{2026, 12, 5, 10, 20, 29}}, "2026-12-05 10:20:01"},
        {L"至0", "至0 at :30", {{2026, 12, 5, 10, 20, 30}}, "2026-12-05 10:21:01"},
        {L"至0", "至0 at :00", {{2026, 12, 5, 10, 20, 0}}, "2026-12-05 10:20:01"},
        {L"至0", "至0 at :59", {{2026, 12, 5, 10, 20, 59}}, "2026-12-05 10:21:01"},
        {L"至0", "至0 before midnight", {{2026, 12, 31, 23, 59, 45}}, "2027-01-01 00:00:01"},
        {L"至0", "至0 as :29 turns", {{2026, 12, 5, 10, 20, 29}, {2026, 12, 5, 10, 20, 30}}, "2026-12-05 10:20:01"},
        {L"同步", "sync", {kMorning}, "2026-12-05 14:05:03"},
        {L"同步", "sync before the fetch stored", {kMorning}, "1899-12-30 00:00:01", 0.0},
        {L"同步", "sync after a failed fetch", {kMorning}, "0100-01-01 00:00:00", kFailedFetch},
    };
    for (const Row& row : rows) {
        StoreNetworkTime(row.networkTime);
        FakeClock clock(row.readings, false);  // the system refuses: nothing is tried twice
        HWND button = FindWindowExW(form, nullptr, L"Button", row.caption);
        ASSERT_NE(button, nullptr) << row.name;
        SendMessageW(button, BM_CLICK, 0, 0);
        ASSERT_EQ(clock.sets.size(), 1u) << row.name;
        EXPECT_EQ(Text(clock.sets[0]), row.set) << row.name;
    }
}

// A tick's addition that lets the worker's store start, and finish unless something holds it
// off, after the tick has read the value and before it writes the sum.
std::atomic<bool> g_inTick, g_storing, g_stored;
double AddOneSecondWhileTheWorkerStores(double read) {
    g_inTick = true;
    while (!g_storing) std::this_thread::yield();
    for (int i = 0; i < 1000 && !g_stored; ++i) std::this_thread::yield();
    return AddInterval(read, Interval::kSecond, 1);
}

TEST_F(AppRoutines, TheWorkersStoreIsNeverLostToATick) {
    g_inTick = g_storing = g_stored = false;
    std::thread ticker([] { AdvanceNetworkTime(AddOneSecondWhileTheWorkerStores); });
    while (!g_inTick) std::this_thread::yield();
    g_storing = true;
    StoreNetworkTime(46361.0);
    g_stored = true;
    ticker.join();
    EXPECT_EQ(LoadNetworkTime(), 46361.0) << "the store waits for the tick and stands";
}

TEST_F(AppRoutines, CountOccurrencesCountsMatchesThatDoNotOverlap) {
    struct Row { const char* haystack; const char* needle; bool caseSensitive; int count; };
    const Row rows[] = {
        {"100年1月1日", "100", false, 1},
        {"2100年1月1日8时", "100", false, 1},
        {"2026年12月5日14时5分2秒", "100", false, 0},
        {"aaaa", "aa", true, 2},
        {"ABab", "ab", false, 2},
        {"ABab", "ab", true, 1},
        {"", "100", false, 0},
        {"abc", "", false, 0},
        {nullptr, nullptr, false, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CountOccurrences(row.haystack, row.needle, row.caseSensitive), row.count)
            << (row.haystack ? row.haystack : "(null)") << " / " << (row.needle ? row.needle : "(null)");
    }
}

TEST_F(AppRoutines, TheWaitEndsWhenTheLocalSecondChanges) {
    const LocalTime second3{2026, 12, 5, 14, 5, 3};
    FakeClock clock({second3, second3, second3, {2026, 12, 5, 14, 5, 4}});
    WaitForNextSecond();
    EXPECT_EQ(clock.reads, 4);
}

// Now() may still show the old second just after the system clock's has turned: sleeping then
// would sleep through the whole next second, so the wait only yields there, as it does just
// before the turn.
TEST(NextSecond, SleepsOnlyFarFromTheTurnOfTheSystemClocksSecond) {
    constexpr std::int64_t kMs = 1000000;
    const std::pair<std::int64_t, std::int64_t> rows[] = {
        {0, 0},           {1 * kMs, 0},     {16 * kMs, 0},   {20 * kMs - 1, 0},  // Now() may lag
        {20 * kMs, 960 * kMs}, {500 * kMs, 480 * kMs}, {979 * kMs, 1 * kMs},
        {980 * kMs, 0},   {999 * kMs, 0},                                       // a sleep may overshoot
    };
    for (const auto& [intoSecond, sleep] : rows) {
        EXPECT_EQ(SleepBeforeNextReading(intoSecond), sleep) << intoSecond / kMs << " ms";
    }
}

}  // namespace
}  // namespace clock_app

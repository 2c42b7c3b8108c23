// The clock corrector's routines in process, on the application's own image, with the local
// clock replaced: rounding to the minute and sync, the network time's one
// lock, counting occurrences and the wait for the next second. What each button sets is
// tested by clicking it on the real form (timer_tick_test.cpp).
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "clock_buttons.h"
#include "core_calls.h"
#include "count_occurrences.h"
#include "fake_clock.h"
#include "kx/program_image.h"
#include "local_time_text.h"
#include "network_time.h"
#include "next_second.h"
#include "runtime_app.h"

namespace clock_app {
namespace {

using kx::commands::LocalTime;
using kx::testing::FakeClock;

int NoProgram() { return 0; }

class AppRoutines : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = std::make_unique<kx::RuntimeApp>(&kx::image::Header(), NoProgram);
        app_->InitRuntime();
        StoreNetworkTime(0.0);
    }
    void TearDown() override { app_.reset(); }

    std::unique_ptr<kx::RuntimeApp> app_;
};

TEST_F(AppRoutines, RoundingToTheMinuteTakesAFreshSecondAfterItsBase) {
    // The clock moves on between the readings: the direction comes from the first, the amount
    // from the last.
    FakeClock clock({{2026, 12, 5, 10, 20, 29}, {2026, 12, 5, 10, 20, 30}, {2026, 12, 5, 10, 20, 30}});
    OnRoundToMinute();
    ASSERT_EQ(clock.sets.size(), 1u);
    EXPECT_EQ(Text(clock.sets[0]), "2026-12-05 10:20:01");
    EXPECT_EQ(clock.reads, 3);
}

TEST_F(AppRoutines, SyncSetsTheNetworkTimeOneSecondOn) {
    struct Row { const char* name; double networkTime; const char* expected; };
    const double fallback = -657434.0 - 8.0 / 24;  // the failed fetch's value, 8 hours on
    const Row rows[] = {
        {"after the fetch", 46361.0 + (14 * 3600 + 5 * 60 + 2) / 86400.0, "2026-12-05 14:05:03"},
        {"before the fetch stored", 0.0, "1899-12-30 00:00:01"},
        {"after a failed fetch", fallback, "0100-01-01 00:00:00"},
    };
    for (const Row& row : rows) {
        StoreNetworkTime(row.networkTime);
        FakeClock clock(LocalTime{2026, 12, 5, 9, 0, 0}, false);  // the system refuses
        OnSync();
        ASSERT_EQ(clock.sets.size(), 1u) << row.name;
        EXPECT_EQ(Text(clock.sets[0]), row.expected) << row.name;
        EXPECT_EQ(LoadNetworkTime(), row.networkTime) << "sync never writes the network time";
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
        {"1100年10月1日", "100", false, 1},
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

TEST_F(AppRoutines, JoinedTextsAreOneNewBlock) {
    char* joined = JoinTexts("当前时间：", "2026年12月5日");
    EXPECT_STREQ(joined, "当前时间：2026年12月5日");
    FreeText(joined);
    char* alone = JoinTexts(nullptr, "x");
    EXPECT_STREQ(alone, "x");
    FreeText(alone);
}

TEST_F(AppRoutines, TheWaitEndsWhenTheLocalSecondChanges) {
    FakeClock clock({{2026, 12, 5, 14, 5, 3}, {2026, 12, 5, 14, 5, 3}, {2026, 12, 5, 14, 5, 3},
                     {2026, 12, 5, 14, 5, 4}});
    WaitForNextSecond();
    EXPECT_EQ(clock.reads, 4);
}

// Now() may still show the old second just after the system clock's has turned: sleeping then
// would sleep through the whole next second, so the wait only yields there, as it does just
// before the turn.
TEST(NextSecond, SleepsOnlyFarFromTheTurnOfTheSystemClocksSecond) {
    constexpr std::int64_t kMs = 1000000;
    const struct {
        std::int64_t intoSecond;
        std::int64_t sleep;
    } rows[] = {
        {0, 0},           {1 * kMs, 0},     {16 * kMs, 0},   {20 * kMs - 1, 0},  // Now() may lag
        {20 * kMs, 960 * kMs}, {500 * kMs, 480 * kMs}, {979 * kMs, 1 * kMs},
        {980 * kMs, 0},   {999 * kMs, 0},                                       // a sleep may overshoot
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SleepBeforeNextReading(row.intoSecond), row.sleep) << row.intoSecond / kMs << " ms";
    }
}

TEST_F(AppRoutines, TheWaitOnTheSystemClockEndsInALaterSecond) {
    const int before = SecondOf(Now());
    WaitForNextSecond();
    EXPECT_NE(SecondOf(Now()), before);
}

}  // namespace
}  // namespace clock_app

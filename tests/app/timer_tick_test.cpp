// The real start form: the timer's routine shows both labels with their prefix and the
// time, the network time one second further on each tick, clamped after a failed fetch; each
// button, clicked, sets the clock to its own change.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "clock_display.h"
#include "entries.h"
#include "event_routines.h"
#include "kx/program_routines.h"
#include "fake_clock.h"
#include "kx/program_image.h"
#include "local_time_text.h"
#include "main_form.h"
#include "memory.h"
#include "network_time.h"
#include "runtime_app.h"
#include "window_layer.h"

namespace clock_app {
namespace {

int NoProgram() { return 0; }

std::string LabelText(kx::Word label) {
    auto* text = kx::FromWord<char*>(static_cast<kx::Word>(kx::RtReadProperty(kMainFormId, label, 8, -1)));
    std::string copy(text ? text : "");
    kx::RtFree(text);
    return copy;
}

TEST(TimerTick, BothLabelsShowTheirTimeAndTheNetworkTimeCountsUp) {
    kx::RuntimeApp app(&kx::image::Header(), NoProgram, &kx::forms::WindowLayer());
    app.InitRuntime();
    kx::RtLoadStartForm(kMainFormId);  // no routine is bound: the window-created event does nothing
    EXPECT_EQ(LabelText(kLocalTimeLabel), "当前时间：XXXX-XX-XX 00:00:00");

    kx::testing::FakeClock clock(kx::commands::LocalTime{2026, 12, 5, 14, 0, 0});
    StoreNetworkTime(46361.0 + (14 * 3600 + 5 * 60 + 1) / 86400.0);  // 14:05:01
    OnTimerTick();
    EXPECT_EQ(LabelText(kLocalTimeLabel), "当前时间：2026年12月5日14时");
    EXPECT_EQ(LabelText(kNetworkTimeLabel), "北京时间：2026年12月5日14时5分2秒");
    OnTimerTick();
    EXPECT_EQ(LabelText(kNetworkTimeLabel), "北京时间：2026年12月5日14时5分3秒");

    // A failed fetch: the value stays clamped at 1 January 100, whatever the ticks add.
    StoreNetworkTime(-657434.0 - 8.0 / 24);
    for (int tick = 0; tick < 3; ++tick) OnTimerTick();
    EXPECT_EQ(LabelText(kNetworkTimeLabel), "北京时间：100年1月1日");
}

// Each button, clicked on the real form, sets the clock once to its own whole second,
// across the ends of minutes, months and years.
TEST(FormButtons, EachButtonClickedSetsTheClockOnceToItsWholeSecond) {
    kx::RuntimeApp app(&kx::image::Header(), NoProgram, &kx::forms::WindowLayer());
    app.InitRuntime();
    kx::RtLoadStartForm(kMainFormId);
    BindEventRoutines();  // after the load: the window-created routine would fetch the time
    StoreNetworkTime(46361.0 + (14 * 3600 + 5 * 60 + 2) / 86400.0);  // 2026-12-05 14:05:02
    HWND form = static_cast<HWND>(kx::forms::WindowLayer().UnitWindowHandle(kMainFormId, 0));
    using kx::commands::LocalTime;
    const struct {
        const wchar_t* caption;
        const char* name;
        LocalTime now;
        const char* set;
    } rows[] = {
        {L"-1s", "-1s", {2026, 12, 5, 10, 20, 15}, "2026-12-05 10:20:15"},
        {L"+1s", "+1s", {2026, 12, 5, 10, 20, 15}, "2026-12-05 10:20:16"},
        {L"-1m", "-1m", {2026, 12, 5, 10, 20, 15}, "2026-12-05 10:19:16"},
        {L"+1m", "+1m", {2026, 12, 5, 10, 20, 15}, "2026-12-05 10:21:16"},
        {L"同步", "sync", {2026, 12, 5, 10, 20, 15}, "2026-12-05 14:05:03"},
        {L"+1s", "+1s at the year's end", {2026, 12, 31, 23, 59, 59}, "2027-01-01 00:00:00"},
        {L"+1m", "+1m at a month's end", {2026, 11, 30, 23, 59, 30}, "2026-12-01 00:00:31"},
        {L"-1m", "-1m at the year's start", {2027, 1, 1, 0, 0, 30}, "2026-12-31 23:59:31"},
        {L"-1s", "-1s at midnight", {2027, 3, 1, 0, 0, 0}, "2027-03-01 00:00:00"},
        {L"至0", "至0 at :15", {2026, 12, 5, 10, 20, 15}, "2026-12-05 10:20:01"},
        {L"至0", "至0 at :29", {2026, 12, 5, 10, 20, 29}, "2026-12-05 10:20:01"},
        {L"至0", "至0 at :30", {2026, 12, 5, 10, 20, 30}, "2026-12-05 10:21:01"},
        {L"至0", "至0 at :00", {2026, 12, 5, 10, 20, 0}, "2026-12-05 10:20:01"},
        {L"至0", "至0 at :59", {2026, 12, 5, 10, 20, 59}, "2026-12-05 10:21:01"},
        {L"至0", "至0 before midnight", {2026, 12, 31, 23, 59, 45}, "2027-01-01 00:00:01"},
    };
    for (const auto& row : rows) {
        kx::testing::FakeClock clock(row.now);
        HWND button = FindWindowExW(form, nullptr, L"Button", row.caption);
        ASSERT_NE(button, nullptr) << row.name;
        SendMessageW(button, BM_CLICK, 0, 0);
        ASSERT_EQ(clock.sets.size(), 1u) << row.name;
        EXPECT_EQ(Text(clock.sets[0]), row.set) << row.name;
    }
    for (kx::Word place = 0; place < kx::image::kProgramRoutineCount; ++place) {
        kx::image::BindProgramRoutine(static_cast<kx::image::ProgramRoutine>(place), nullptr);
    }
}

}  // namespace
}  // namespace clock_app

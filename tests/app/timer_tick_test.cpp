// The timer's routine on the real start form: both labels show their prefix and the time,
// the network time one second further on each tick, clamped after a failed fetch.
#include <gtest/gtest.h>

#include <string>

#include "clock_display.h"
#include "entries.h"
#include "fake_clock.h"
#include "kx/program_image.h"
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

}  // namespace
}  // namespace clock_app

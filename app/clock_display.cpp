#include "clock_display.h"

#include "core_calls.h"
#include "kx/constants.h"
#include "main_form.h"
#include "network_time.h"

namespace clock_app {

namespace {

// "<prefix><date-time as text>" on `label`; the label keeps a copy, so both texts go.
void ShowTime(kx::Word label, const char* prefix, double dateTime) {
    char* time = ToText(dateTime);
    char* line = JoinTexts(prefix, time);
    WriteLabelText(label, line);
    FreeText(line);
    FreeText(time);
}

}  // namespace

void OnTimerTick() {
    const double networkTime = AdvanceNetworkTime();
    ShowTime(kLocalTimeLabel, kx::image::kConstants.localTimePrefix, Now());
    ShowTime(kNetworkTimeLabel, kx::image::kConstants.networkTimePrefix, networkTime);
}

}  // namespace clock_app

#include "startup.h"

#include "core_calls.h"
#include "count_occurrences.h"
#include "kx/constants.h"
#include "kx/program_calls.h"
#include "main_form.h"
#include "network_time.h"
#include "network_time_fetch.h"
#include "next_second.h"

namespace clock_app {

namespace {

using kx::ValueCell;

constexpr std::int32_t kExclamationAndOk = 0x30;

// The thread's start routine: the entry wrapper of RunStartup as a subroutine pointer.
unsigned long __stdcall StartupThreadEntry(void*) {
    RunStartup();
    return 0;
}

void WarnOnce() {
    const auto& texts = kx::image::kConstants;
    kx::program::CallCore(kx::image::CoreCommand::kMessageBox,
                          {ValueCell::Text(texts.fetchFailedMessage), ValueCell::Integer(kExclamationAndOk),
                           ValueCell::Text(texts.warningTitle)});
}

}  // namespace

void OnWindowCreated() {
    // No parameter and no handle variable: the handle is closed at once.
    ValueCell args[] = {ValueCell::Subroutine(kx::ToWord(&StartupThreadEntry)), ValueCell::Omitted(),
                        ValueCell::Omitted()};
    kx::program::CallLibrary(kx::image::kThreadLibrary,
                             static_cast<std::uint32_t>(kx::image::ThreadCommand::kStartThread), args);
}

void RunStartup() {
    WaitForNextSecond();
    WriteTimerInterval(1000);

    kx::Word url = 0;
    const double fetched = FetchNetworkTime(&url, false);
    FreeText(kx::FromWord<const char*>(url));
    StoreNetworkTime(fetched);

    // A failure gives 1 January 100, whose text holds "100"; no year 2024-2099 does.
    char* text = ToText(fetched);
    const std::int32_t failures = CountOccurrences(text, kx::image::kConstants.failureMarker, false);
    FreeText(text);
    if (failures != 0) WarnOnce();
}

}  // namespace clock_app

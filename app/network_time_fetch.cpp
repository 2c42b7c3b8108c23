#include "network_time_fetch.h"

#include <cstdint>
#include <cstring>

#include "com_calls.h"
#include "core_calls.h"
#include "dll_calls.h"
#include "http_date_text.h"
#include "kx/program_calls.h"
#include "program_values.h"
#include "routines.h"
#include "web_request.h"

namespace clock_app {

namespace {

using http_module::FreeValue;
using http_module::NewText;
using kx::ValueCell;
using kx::Word;
using kx::image::CoreCommand;
using kx::program::CallCore;

// The program's date record: year, month, day of week, day, hour, minute, second,
// milliseconds, each a 32-bit field; the system's record has the same fields in 16 bits.
constexpr int kDateFields = 8;
enum DateField { kYear = 0, kMonth = 1, kDay = 3, kHour = 4, kMinute = 5, kSecond = 6 };
constexpr std::uint32_t kSystemTimeSize = 16;
constexpr std::int32_t kHourUnit = 6;
constexpr std::int32_t kUtcPlus8Hours = 8;
constexpr std::int32_t kHeadMethod = 2;

}  // namespace

double HttpDateToDateTime(Word* dateText) {
    auto* record = static_cast<std::int32_t*>(kx::program::Alloc(sizeof(std::int32_t) * kDateFields));
    std::memset(record, 0, sizeof(std::int32_t) * kDateFields);
    auto* systemTime = static_cast<std::uint16_t*>(kx::program::Alloc(kSystemTimeSize));
    for (int i = 0; i < kDateFields; ++i) systemTime[i] = static_cast<std::uint16_t>(record[i]);

    // The system's parser gets only a date the program has read in full, rewritten in the one
    // form all its versions read; what it answers must be that date, or none is taken.
    if (const auto date = ReadHttpDate(http_module::TextOf(*dateText), YearOfDateTime(Now()))) {
        const auto fixdate = ImfFixdate(*date);
        http_module::CallDllCommand<std::int32_t>(http_module::DllCommand::kInternetTimeToSystemTime,
                                                  fixdate.data(), static_cast<void*>(systemTime), std::uint32_t{0});
        const HttpDate parsed{systemTime[kYear], systemTime[kMonth], systemTime[kDay],
                              systemTime[kHour], systemTime[kMinute], systemTime[kSecond]};
        if (parsed == *date) {
            for (int i = 0; i < kDateFields; ++i) record[i] = systemTime[i];
        }
    }
    kx::program::Free(systemTime);

    const double local =
        CallCore(CoreCommand::kMakeDateTime,
                 {ValueCell::Integer(record[kYear]), ValueCell::Integer(record[kMonth]), ValueCell::Integer(record[kDay]),
                  ValueCell::Integer(record[kHour]), ValueCell::Integer(record[kMinute]),
                  ValueCell::Integer(record[kSecond])})
            .AsDouble();
    kx::program::Free(record);
    return CallCore(CoreCommand::kAddInterval,
                    {ValueCell::DateTime(local), ValueCell::Integer(kHourUnit), ValueCell::Integer(kUtcPlus8Hours)})
        .AsDouble();
}

double FetchNetworkTime(Word* url, bool urlGiven) {
    if (!urlGiven) {
        const Word defaultUrl = NewText(kDefaultTimeUrl);
        FreeValue(url);
        *url = defaultUrl;
    }
    Word headers = 0;
    Word requestObject = http_module::NewObjectCell();
    http_module::WebRequestParameters request;
    request.url = url;
    request.method = http_module::Give(kHeadMethod);
    request.responseHeaders = http_module::Give(&headers);
    request.requestObject.value = &requestObject;  // passed, but not given
    Word body = http_module::WebRequest(request);
    FreeValue(&body);
    http_module::FreeObjectCell(&requestObject);

    Word dateMarker = NewText("Date:"), lineEnd = NewText("\r\n");
    Word date = http_module::TextBetween(&headers, &dateMarker, &lineEnd);
    FreeValue(&headers);
    FreeValue(&dateMarker);
    FreeValue(&lineEnd);
    const double time = HttpDateToDateTime(&date);
    FreeValue(&date);
    return time;
}

}  // namespace clock_app

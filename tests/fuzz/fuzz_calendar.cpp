// Any double and any part values through the calendar: parts always lie in their ranges,
// parts built back give the same parts, and interval arithmetic never leaves the encoding
// undefined. Input: a double, six 32-bit parts, a unit and an amount.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "datetime/calendar.h"

using namespace kx::datetime;

namespace {

void CheckRanges(const DateParts& p) {
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
        p.minute > 59 || p.second < 0 || p.second > 59 || p.dayOfWeek < 1 || p.dayOfWeek > 7 ||
        p.dayOfYear < 1 || p.dayOfYear > 366) {
        std::abort();
    }
}

bool SameParts(const DateParts& a, const DateParts& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double date = 0;
    std::int32_t parts[8] = {};
    std::memcpy(&date, data, size < sizeof date ? size : sizeof date);
    if (size > sizeof date) {
        std::memcpy(parts, data + sizeof date, std::min(size - sizeof date, sizeof parts));
    }

    const DateParts taken = PartsOf(date);
    CheckRanges(taken);
    if (!SameParts(PartsOf(FromParts(taken.year, taken.month, taken.day, taken.hour, taken.minute,
                                     taken.second)),
                   taken)) {
        std::abort();
    }

    const double built = FromParts(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
    if (!std::isfinite(built) || built < kMinDate - 1 || built > kMaxDate + 1) std::abort();
    CheckRanges(PartsOf(built));

    for (int code = -1; code <= 12; ++code) (void)PartOf(date, code);
    const double added = AddInterval(date, parts[6], parts[7]);
    if (std::isfinite(date) && std::isnan(added)) std::abort();
    CheckRanges(PartsOf(added));
    (void)AddSpan(ClampDate(date), static_cast<double>(parts[7]) / 86400.0);
    return 0;
}

#include "text/value_text.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "arguments.h"
#include "datetime/calendar.h"

namespace kx::text {

namespace {

constexpr char kTrue[] = "真";
constexpr char kFalse[] = "假";

std::string_view Format(TextScratch& scratch, const char* format, auto... values) {
    const int written = std::snprintf(scratch.bytes, sizeof scratch.bytes, format, values...);
    if (written <= 0) return {};
    const auto size = static_cast<std::size_t>(written);
    return {scratch.bytes, size < sizeof scratch.bytes ? size : sizeof scratch.bytes - 1};
}

}  // namespace

std::string_view UpToZero(const void* data, std::uint64_t size) {
    if (!data || size == 0) return {};
    const auto length = static_cast<std::size_t>(size < 0xFFFFFFFFu ? size : 0xFFFFFFFFu);
    const void* zero = std::memchr(data, 0, length);
    const auto* bytes = static_cast<const char*>(data);
    return {bytes, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : length};
}

double RoundToSixDigits(float value) {
    if (value == 0.0f || !std::isfinite(value)) return value;
    // Decimal exponent estimated from the binary one, then corrected by one step: the
    // estimate is never off by more than that.
    int exponent = static_cast<int>(std::ilogb(value) * 0.30102999566398119521);
    double scaled = std::fabs(static_cast<double>(value)) * std::pow(10.0, -exponent);
    if (scaled >= 10.0) {
        scaled /= 10.0;
        ++exponent;
    } else if (scaled < 1.0) {
        scaled *= 10.0;
        --exponent;
    }
    const double digits = std::floor(scaled * 100000.0 + 0.5);
    const double rounded = digits / 100000.0 * std::pow(10.0, exponent);
    return value < 0 ? -rounded : rounded;
}

std::string_view FormatDateTime(double date, TextScratch& scratch) {
    const datetime::DateParts p = datetime::PartsOf(date);
    if (p.second != 0) {
        return Format(scratch, "%d年%d月%d日%d时%d分%d秒", p.year, p.month, p.day, p.hour, p.minute,
                      p.second);
    }
    if (p.minute != 0) {
        return Format(scratch, "%d年%d月%d日%d时%d分", p.year, p.month, p.day, p.hour, p.minute);
    }
    if (p.hour != 0) return Format(scratch, "%d年%d月%d日%d时", p.year, p.month, p.day, p.hour);
    return Format(scratch, "%d年%d月%d日", p.year, p.month, p.day);
}

bool IsScalarTextKind(Word type) { return type == type_word::kText || commands::IsNumericKind(type); }

std::string_view TextOfValue(const ValueCell& value, TextScratch& scratch) {
    switch (value.type()) {
        case type_word::kDateTime: return FormatDateTime(value.AsDouble(), scratch);
        case type_word::kText: {
            const char* text = value.AsText();
            return text ? std::string_view(text) : std::string_view();
        }
        case type_word::kLogical: return value.low() != 0 ? kTrue : kFalse;
        case type_word::kByte: return Format(scratch, "%u", static_cast<unsigned>(value.low() & 0xFF));
        case type_word::kShort:
            return Format(scratch, "%d", static_cast<int>(static_cast<std::int16_t>(value.low() & 0xFFFF)));
        case type_word::kInteger: return Format(scratch, "%d", static_cast<int>(value.AsInt32()));
        case type_word::kLong: return Format(scratch, "%" PRId64, value.AsInt64());
        case type_word::kFloat: return Format(scratch, "%.6g", RoundToSixDigits(value.AsFloat()));
        case type_word::kDouble: return Format(scratch, "%.13g", value.AsDouble());
        case type_word::kByteArray: {
            const Payload payload = PayloadOf(value);
            return UpToZero(payload.address, payload.size);
        }
        default: break;
    }
    // An array of a numeric type: its element bytes as one run.
    const Payload elements = NumericArrayBytes(value);
    return UpToZero(elements.address, elements.size);
}

}  // namespace kx::text

// The text form of each kind of value, as ToText and the message box write it.
#include "text/value_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "datetime/calendar.h"
#include "pure/low_memory.h"

namespace kx::text {
namespace {

TEST(ValueText, EachKindOfValue) {
    const Word* bytes = testing::LowCopy({Word{1}, Word{5}, Word{0x00636261}, Word{0x64}});  // "abc", a zero, "d"
    const Word* noZero = testing::LowCopy({Word{1}, Word{2}, Word{0x00007978}});  // "xy" and nothing behind
    struct Row {
        ValueCell value;
        std::string text;
    };
    const Row rows[] = {
        {ValueCell::Integer(-42), "-42"},
        {ValueCell::Integer(std::numeric_limits<std::int32_t>::min()), "-2147483648"},
        {ValueCell::Raw(0x1FF, 0, type_word::kByte), "255"},
        {ValueCell::Raw(0x1FFFF, 0, type_word::kShort), "-1"},
        {ValueCell::Long(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
        {ValueCell::Float(0.1f), "0.1"},
        {ValueCell::Float(3.14159274f), "3.14159"},
        {ValueCell::Float(1234567.0f), "1.23457e+06"},
        {ValueCell::Float(-0.000123456789f), "-0.000123457"},
        {ValueCell::Double(0.1), "0.1"},
        {ValueCell::Double(1e300), "1e+300"},
        {ValueCell::Logical(true), "真"},
        {ValueCell::Raw(2, 0, type_word::kLogical), "真"},
        {ValueCell::Logical(false), "假"},
        {ValueCell::DateTime(45000.5), "2023年3月15日12时"},
        {ValueCell::Text("文本"), "文本"},
        {ValueCell::Text(nullptr), ""},
        {ValueCell::ByteArray(bytes), "abc"},
        {ValueCell::ByteArray(noZero), "xy"},
        {ValueCell::ByteArray(nullptr), ""},
        {ValueCell::Raw(1, 2, type_word::kWindowType), ""},
        {ValueCell::Omitted(), ""},
    };
    for (const Row& row : rows) {
        TextScratch scratch;
        EXPECT_EQ(TextOfValue(row.value, scratch), row.text) << row.text;
    }
}

TEST(ValueText, RoundsFloatsHalfUpToSixDigits) {
    struct Row {
        float value;
        double rounded;
    };
    const Row rows[] = {
        {0.0f, 0.0}, {1.0f, 1.0}, {2.5e-7f, 2.5e-7}, {123456.5f, 123457.0}, {-999999.5f, -1e6},
    };
    for (const Row& row : rows) EXPECT_DOUBLE_EQ(RoundToSixDigits(row.value), row.rounded) << row.value;
    EXPECT_TRUE(std::isinf(RoundToSixDigits(std::numeric_limits<float>::infinity())));
}

TEST(ValueText, DateTimesLeaveOutTrailingZeroFields) {
    constexpr double kSecond = 1.0 / 86400;
    const double t = 46361 + 50703 * kSecond;  // 5 December 2026, 14:05:03
    struct Row {
        double date;
        const char* text;
    };
    const Row rows[] = {
        {t, "2026年12月5日14时5分3秒"},
        {t - 3 * kSecond, "2026年12月5日14时5分"},
        {t - 303 * kSecond, "2026年12月5日14时"},
        {46361, "2026年12月5日"},
        {46361 + 9 * kSecond, "2026年12月5日0时0分9秒"},
        {46361 + 420 * kSecond, "2026年12月5日0时7分"},
        {datetime::kMinDate, "100年1月1日"},
        {-1.0, "1899年12月29日"},
        {-1.25, "1899年12月29日6时"},
        {datetime::kMaxDate + 0.75, "9999年12月31日"},
    };
    for (const Row& row : rows) {
        TextScratch scratch;
        EXPECT_EQ(FormatDateTime(row.date, scratch), row.text) << row.date;
    }
}

}  // namespace
}  // namespace kx::text

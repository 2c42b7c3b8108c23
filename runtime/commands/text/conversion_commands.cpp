// ToText, ToByte and the byte-array and number commands.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "arguments.h"
#include "core_commands.h"
#include "error_text.h"
#include "errors.h"
#include "results.h"
#include "text/gbk_scan.h"
#include "text/value_text.h"

namespace kx::commands {

namespace {

// The low 8 bits of a number truncated towards zero, without converting a value that no
// integer type can hold.
std::uint8_t LowByteOfTruncated(double value) {
    if (!std::isfinite(value)) return 0;
    const double low = std::fmod(std::trunc(value), 256.0);
    return static_cast<std::uint8_t>(static_cast<int>(low) & 0xFF);
}

// The bytes ToByteArray takes from a value; empty for kinds that have none.
ByteView BytesOfValue(const ValueCell& value) {
    switch (value.type()) {
        case type_word::kText:
        case type_word::kByteArray:
        case type_word::kByte:
        case type_word::kShort:
        case type_word::kInteger:
        case type_word::kLong:
        case type_word::kFloat:
        case type_word::kDouble:
        case type_word::kLogical:
        case type_word::kDateTime:
        case type_word::kSubroutine: {
            const Payload payload = PayloadOf(value);
            if (!payload.address) return {};
            return {static_cast<const std::uint8_t*>(payload.address), payload.size};
        }
        default: break;
    }
    const Payload elements = NumericArrayBytes(value);
    return {static_cast<const std::uint8_t*>(elements.address), elements.size};
}

}  // namespace

void ToText(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    text::TextScratch scratch;
    *result = TextResult(NewText(text::TextOfValue(in[0], scratch)));
}

void ToByte(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const ValueCell& value = in[0];
    std::uint8_t byte = 0;
    switch (value.type()) {
        case type_word::kText: byte = static_cast<std::uint8_t>(text::LeadingFoldedInteger(in.Text(0))); break;
        case type_word::kFloat:
        case type_word::kDouble: byte = LowByteOfTruncated(NumberOf(value)); break;
        case type_word::kByte:
        case type_word::kShort:
        case type_word::kInteger:
        case type_word::kLong:
        case type_word::kLogical:
        case type_word::kSubroutine: byte = static_cast<std::uint8_t>(value.low()); break;
        default: break;
    }
    *result = ValueCell::Byte(byte);
}

void ToByteArray(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const ByteView bytes = BytesOfValue(in[0]);
    *result = ByteArrayResult(NewByteArrayCopy(bytes.data, bytes.size));
}

void ByteArrayLength(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = ValueCell::Integer(static_cast<std::int32_t>(in.Bytes(0).size));
}

void BlankByteArray(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const std::int32_t length = in.Integer(0);
    ByteArrayHeader* block = length > 0 ? NewByteArray(static_cast<std::uint64_t>(length)) : nullptr;
    if (block) std::memset(BytesOf(block), 0, static_cast<std::size_t>(length));
    *result = ByteArrayResult(block);
}

void MidByteArray(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const ByteView bytes = in.Bytes(0);
    const auto size = static_cast<std::int64_t>(bytes.size);
    const std::int64_t start = std::clamp<std::int64_t>(in.Integer(1), 1, size + 1);
    const std::int64_t wanted = std::max<std::int32_t>(in.Integer(2), 0);
    const std::int64_t length = std::min(wanted, size - (start - 1));
    *result = ByteArrayResult(
        length > 0 ? NewByteArrayCopy(bytes.data + (start - 1), static_cast<std::uint64_t>(length))
                   : nullptr);
}

void Remainder(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    double value = in.Double(0);
    for (std::int32_t i = 1; i < in.count(); ++i) {
        if (!in.Given(i)) continue;
        const double divisor = in.Double(i);
        if (divisor == 0.0) ReportRuntimeError(fixed_error::kRemainderByZero, 0, 0, 0);
        value = std::fmod(value, divisor);
    }
    *result = ValueCell::Double(value);
}

void BitAnd(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    std::uint32_t bits = 0xFFFFFFFFu;
    bool any = false;
    for (std::int32_t i = 0; i < in.count(); ++i) {
        if (!in.Given(i)) continue;
        bits &= static_cast<std::uint32_t>(in.Integer(i));
        any = true;
    }
    *result = ValueCell::Integer(any ? static_cast<std::int32_t>(bits) : 0);
}

void ShiftLeft(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const auto bits = static_cast<std::uint32_t>(in.Integer(0));
    *result = ValueCell::Integer(static_cast<std::int32_t>(bits << (in.Integer(1) & 31)));
}

void ShiftRight(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    // Arithmetic: the sign bit is copied in.
    *result = ValueCell::Integer(in.Integer(0) >> (in.Integer(1) & 31));
}

}  // namespace kx::commands

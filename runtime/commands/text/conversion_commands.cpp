// Conversions between kinds of value: ToText, ToByte and ToByteArray.
#include <algorithm>
#include <cmath>

#include "arguments.h"
#include "core_commands.h"
#include "held_bytes.h"
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

// The bytes of a byte array or of an array of a numeric type, as far as its block holds
// them; empty for every other kind.
ByteView ArrayBytes(const ValueCell& value) {
    const Payload payload =
        value.type() == type_word::kByteArray ? PayloadOf(value) : NumericArrayBytes(value);
    return HeldBytes(value.AsAddress<const void*>(),
                     {static_cast<const std::uint8_t*>(payload.address), payload.size});
}

// The bytes ToByteArray takes from a value; empty for kinds that have none.
ByteView BytesOfValue(const ValueCell& value) {
    switch (value.type()) {
        case type_word::kText:
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
    return ArrayBytes(value);
}

}  // namespace

void ToText(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const ValueCell& value = in[0];
    if (value.type() == type_word::kByteArray || type_word::HasAddressBit(value.type())) {
        const ByteView bytes = ArrayBytes(value);
        *result = TextResult(NewText(text::UpToZero(bytes.data, bytes.size)));
        return;
    }
    text::TextScratch scratch;
    *result = TextResult(NewText(text::TextOfValue(value, scratch)));
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

}  // namespace kx::commands

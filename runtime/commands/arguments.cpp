#include "arguments.h"

#include <cmath>
#include <limits>

#include "datetime/calendar.h"

namespace kx::commands {

namespace {

constexpr ValueCell kOmittedCell{};

std::int32_t SaturatedInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace

bool IsNumericKind(Word type) {
    switch (type) {
        case type_word::kByte:
        case type_word::kShort:
        case type_word::kInteger:
        case type_word::kLong:
        case type_word::kFloat:
        case type_word::kDouble:
        case type_word::kLogical:
        case type_word::kDateTime: return true;
        default: return false;
    }
}

double NumberOf(const ValueCell& cell) {
    switch (cell.type()) {
        case type_word::kByte: return cell.low() & 0xFF;
        case type_word::kShort: return static_cast<std::int16_t>(cell.low() & 0xFFFF);
        case type_word::kInteger:
        case type_word::kLogical: return cell.AsInt32();
        case type_word::kLong: return static_cast<double>(cell.AsInt64());
        case type_word::kFloat: return cell.AsFloat();
        case type_word::kDouble:
        case type_word::kDateTime: return cell.AsDouble();
        default: return 0.0;
    }
}

const ValueCell& Arguments::operator[](std::int32_t index) const {
    return index >= 0 && index < count_ ? first_[index] : kOmittedCell;
}

std::string_view Arguments::Text(std::int32_t index) const { return TerminatedText(index); }

const char* Arguments::TerminatedText(std::int32_t index) const {
    const ValueCell& cell = (*this)[index];
    const char* text = cell.type() == type_word::kText ? cell.AsText() : nullptr;
    return text ? text : "";
}

ByteView Arguments::Bytes(std::int32_t index) const {
    const ValueCell& cell = (*this)[index];
    if (cell.type() != type_word::kByteArray) return {};
    const Payload payload = PayloadOf(cell);
    return {static_cast<const std::uint8_t*>(payload.address), payload.address ? payload.size : 0};
}

std::int32_t Arguments::Integer(std::int32_t index, std::int32_t fallback) const {
    const ValueCell& cell = (*this)[index];
    if (cell.omitted()) return fallback;
    switch (cell.type()) {
        case type_word::kByte: return static_cast<std::int32_t>(cell.low() & 0xFF);
        case type_word::kShort: return static_cast<std::int16_t>(cell.low() & 0xFFFF);
        case type_word::kInteger:
        case type_word::kLogical: return cell.AsInt32();
        default: return IsNumericKind(cell.type()) ? SaturatedInt32(NumberOf(cell)) : 0;
    }
}

double Arguments::Double(std::int32_t index, double fallback) const {
    const ValueCell& cell = (*this)[index];
    return cell.omitted() ? fallback : NumberOf(cell);
}

bool Arguments::Logical(std::int32_t index, bool fallback) const {
    const ValueCell& cell = (*this)[index];
    if (cell.omitted()) return fallback;
    if (cell.type() == type_word::kLogical) return cell.low() != 0;
    return NumberOf(cell) != 0.0;
}

double Arguments::DateTime(std::int32_t index) const {
    return datetime::ClampDate(NumberOf((*this)[index]));
}

}  // namespace kx::commands

// Number commands: remainder, bitwise and, shifts.
#include <cmath>

#include "arguments.h"
#include "core_commands.h"
#include "error_text.h"
#include "errors.h"

namespace kx::commands {

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

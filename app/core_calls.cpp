#include "core_calls.h"

#include <cstring>

#include "kx/program_calls.h"

namespace clock_app {

namespace {

using kx::ValueCell;
using kx::image::CoreCommand;
using kx::program::CallCore;

const char* TextOf(const ValueCell& cell) { return kx::FromWord<const char*>(cell.low()); }

}  // namespace

double Now() { return CallCore(CoreCommand::kNow, {}).AsDouble(); }

std::int32_t SecondOf(double dateTime) {
    return CallCore(CoreCommand::kSecondOf, {ValueCell::DateTime(dateTime)}).AsInt32();
}

char* ToText(double dateTime) {
    return const_cast<char*>(TextOf(CallCore(CoreCommand::kToText, {ValueCell::DateTime(dateTime)})));
}

double AddInterval(double dateTime, Interval unit, std::int32_t amount) {
    return CallCore(CoreCommand::kAddInterval,
                    {ValueCell::DateTime(dateTime), ValueCell::Integer(static_cast<std::int32_t>(unit)),
                     ValueCell::Integer(amount)})
        .AsDouble();
}

bool SetClock(double dateTime) {
    return CallCore(CoreCommand::kSetClock, {ValueCell::DateTime(dateTime)}).low() != 0;
}

std::int32_t TextLength(const char* text) {
    return CallCore(CoreCommand::kTextLength, {ValueCell::Text(text)}).AsInt32();
}

std::int32_t FindText(const char* text, const char* sought, std::int32_t start, bool ignoreCase) {
    return CallCore(CoreCommand::kFindText,
                    {ValueCell::Text(text), ValueCell::Text(sought),
                     start > 0 ? ValueCell::Integer(start) : ValueCell::Omitted(),
                     ValueCell::Logical(ignoreCase)})
        .AsInt32();
}

void FreeText(const char* text) { kx::program::Free(text); }

char* JoinTexts(const char* first, const char* second) {
    const std::size_t firstLength = first ? std::strlen(first) : 0;
    const std::size_t secondLength = second ? std::strlen(second) : 0;
    auto* joined = static_cast<char*>(
        kx::program::Alloc(static_cast<std::uint32_t>(firstLength + secondLength + 1)));
    if (firstLength) std::memcpy(joined, first, firstLength);
    if (secondLength) std::memcpy(joined + firstLength, second, secondLength);
    joined[firstLength + secondLength] = '\0';
    return joined;
}

}  // namespace clock_app

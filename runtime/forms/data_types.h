// What the core library's data-type records of the window, Label, Button and Timer point
// to: their property tables (one type-code word per property, as many as the record's
// property count) and their interface functions. Read-only data; any thread.
#pragma once

#include <cstdint>

#include "kx/word.h"

namespace kx::forms {

inline constexpr Word kWindowPropertyCount = 32;
inline constexpr Word kLabelPropertyCount = 29;
inline constexpr Word kButtonPropertyCount = 14;
inline constexpr Word kTimerPropertyCount = 9;

extern const Word kWindowPropertyTypes[kWindowPropertyCount];
extern const Word kLabelPropertyTypes[kLabelPropertyCount];
extern const Word kButtonPropertyTypes[kButtonPropertyCount];
extern const Word kTimerPropertyTypes[kTimerPropertyCount];

Word WindowInterface(Word code);
Word LabelInterface(Word code);
Word ButtonInterface(Word code);
Word TimerInterface(Word code);

// The type code of property `property` of a data type record's table, or 0.
Word PropertyTypeCode(Word propertyTable, Word propertyCount, std::int32_t property);

}  // namespace kx::forms

// The text form of a value, as ToText writes it: numbers, logicals and date-times are
// formatted into a small scratch buffer; texts and byte runs are viewed where they lie.
// Pure logic; any thread.
#pragma once

#include <cstddef>
#include <string_view>

#include "kx/value_cell.h"

namespace kx::text {

// Large enough for every formatted kind (the longest, a date-time, takes 26 bytes).
struct TextScratch {
    char bytes[64];
};

// The value's text; a view into `scratch`, into the value's own bytes, or empty for a
// kind that has no text form.
std::string_view TextOfValue(const ValueCell& value, TextScratch& scratch);

// A byte run as a text reads it: up to its first zero byte. The run is taken as long as it
// says; ToText cuts array runs at their block's end before it asks.
std::string_view UpToZero(const void* data, std::uint64_t size);

// Whether the value is a number, text, logical or date-time: the kinds a message shows.
bool IsScalarTextKind(Word type);

// A single float rounded half up to 6 significant decimal digits.
double RoundToSixDigits(float value);

// "%d年%d月%d日" and the time of day down to its last non-zero field.
std::string_view FormatDateTime(double date, TextScratch& scratch);

}  // namespace kx::text

// Reading the argument cells of a command. Nothing here trusts the cells: an index past the
// count reads as an omitted cell, and a cell of the wrong kind reads as the empty text, the
// empty byte array or the number 0, never through a wrong pointer. Pure; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kx/value_cell.h"

namespace kx::commands {

struct ByteView {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

class Arguments {
public:
    Arguments(std::int32_t count, const ValueCell* first)
        : count_(first && count > 0 ? count : 0), first_(first) {}

    std::int32_t count() const { return count_; }
    // The cell at `index`, or an omitted cell past the count.
    const ValueCell& operator[](std::int32_t index) const;
    // Present and not an omitted cell.
    bool Given(std::int32_t index) const { return !(*this)[index].omitted(); }

    // A text cell's bytes; empty for a null text and for any other kind.
    std::string_view Text(std::int32_t index) const;
    // The same bytes where they lie, not yet measured: "" for a null text and any other kind.
    const char* TerminatedText(std::int32_t index) const;
    // A byte array cell's bytes; empty for the null block and for any other kind.
    ByteView Bytes(std::int32_t index) const;
    // Numbers: an omitted cell gives `fallback`; a byte, short, integer, long, logical,
    // float, double or date-time is converted (floats truncated towards zero, saturated);
    // any other kind gives 0.
    std::int32_t Integer(std::int32_t index, std::int32_t fallback = 0) const;
    double Double(std::int32_t index, double fallback = 0.0) const;
    bool Logical(std::int32_t index, bool fallback = false) const;
    // A date-time, clamped into the valid range.
    double DateTime(std::int32_t index) const;

private:
    std::int32_t count_;
    const ValueCell* first_;
};

// Kinds that read as a number: the numeric kinds, logical and date-time. (Arrays "of a
// numeric type" are a narrower set: those with an element size, see ElementSize.)
bool IsNumericKind(Word type);
double NumberOf(const ValueCell& cell);

}  // namespace kx::commands

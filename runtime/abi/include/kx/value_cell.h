// The value cell: three 32-bit words (value low, value high, type word) that carry every
// argument and result between program code and libraries, and the routines every library
// shares to read them. The type word is written only together with a value, by the named
// constructors here. Pure data and helpers; no state, callable from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "kx/type_words.h"
#include "kx/word.h"

namespace kx {

class ValueCell {
public:
    constexpr ValueCell() = default;

    // A cell exactly as given, for cells that arrive from outside and for tests.
    static constexpr ValueCell Raw(Word low, Word high, Word type) {
        ValueCell cell;
        cell.low_ = low;
        cell.high_ = high;
        cell.type_ = type;
        return cell;
    }
    static constexpr ValueCell Omitted() { return ValueCell{}; }
    static ValueCell Integer(std::int32_t v) { return Raw(static_cast<Word>(v), 0, type_word::kInteger); }
    static ValueCell Logical(bool v) { return Raw(v ? 1u : 0u, 0, type_word::kLogical); }
    static ValueCell Byte(std::uint8_t v) { return Raw(v, 0, type_word::kByte); }
    static ValueCell Short(std::int16_t v) {
        return Raw(static_cast<Word>(static_cast<std::int32_t>(v)), 0, type_word::kShort);
    }
    static ValueCell Long(std::int64_t v) { return EightBytes(static_cast<std::uint64_t>(v), type_word::kLong); }
    static ValueCell Float(float v) {
        Word bits;
        std::memcpy(&bits, &v, sizeof bits);
        return Raw(bits, 0, type_word::kFloat);
    }
    static ValueCell Double(double v) { return EightBytes(BitsOf(v), type_word::kDouble); }
    static ValueCell DateTime(double v) { return EightBytes(BitsOf(v), type_word::kDateTime); }
    static ValueCell Text(const char* text) { return Raw(ToWord(text), 0, type_word::kText); }
    static ValueCell ByteArray(const void* block) { return Raw(ToWord(block), 0, type_word::kByteArray); }
    static ValueCell Subroutine(Word routine) { return Raw(routine, 0, type_word::kSubroutine); }
    // An array: word 0 is the address of the array block; the rest names the element type.
    static ValueCell Array(const void* block, Word elementType) {
        return Raw(ToWord(block), 0, elementType | type_word::kAddressBit);
    }
    // A by-reference argument: word 0 is the address of the caller's variable.
    static ValueCell Reference(void* variable, Word elementType) {
        return Raw(ToWord(variable), 0, elementType | type_word::kAddressBit);
    }

    constexpr Word low() const { return low_; }
    constexpr Word high() const { return high_; }
    constexpr Word type() const { return type_; }
    constexpr bool omitted() const { return type_ == type_word::kOmitted; }

    std::int32_t AsInt32() const { return static_cast<std::int32_t>(low_); }
    std::int64_t AsInt64() const { return static_cast<std::int64_t>(Bits64()); }
    double AsDouble() const {
        double v;
        const std::uint64_t bits = Bits64();
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    float AsFloat() const {
        float v;
        std::memcpy(&v, &low_, sizeof v);
        return v;
    }
    const char* AsText() const { return FromWord<const char*>(low_); }
    template <typename Pointer>
    Pointer AsAddress() const { return FromWord<Pointer>(low_); }

private:
    friend struct ValueCellLayout;

    static std::uint64_t BitsOf(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits;
    }
    static constexpr ValueCell EightBytes(std::uint64_t bits, Word type) {
        return Raw(static_cast<Word>(bits), static_cast<Word>(bits >> 32), type);
    }
    constexpr std::uint64_t Bits64() const { return (std::uint64_t{high_} << 32) | low_; }

    Word low_ = 0;
    Word high_ = 0;
    Word type_ = 0;
};

static_assert(sizeof(ValueCell) == 12, "a value cell is three 32-bit words");

// A library command: (result cell, argument count, first argument cell).
using CommandFn = void (*)(ValueCell* result, std::int32_t count, ValueCell* args);

// The element size of a type word: 1, 2, 4 or 8 for the numeric kinds, 0 for the rest.
std::uint32_t ElementSize(Word type);

// Where a cell's payload lies and how many bytes it has: the text's bytes, a byte array's
// bytes (behind its 8-byte header), the cell itself for fixed-size kinds, else null and 0.
struct Payload {
    const void* address;
    std::uint32_t size;
};
Payload PayloadOf(const ValueCell& cell);

// The element bytes of an array of a numeric type (an array cell whose element type has an
// element size) as one run; null and 0 for any other cell. The block's header is trusted.
Payload NumericArrayBytes(const ValueCell& cell);

// An array block: dimension count, the dimension lengths, then the packed elements.
struct ArrayBlockHeader {
    Word dimensionCount;
    // followed by dimensionCount lengths, then the elements
};

// The product of the dimension lengths; 1 for a block without dimensions, 0 for null; a
// product past 64 bits gives UINT64_MAX.
std::uint64_t ArrayElementCount(const void* block);
// Address of the first element of a block.
const std::uint8_t* ArrayElements(const void* block);

// A byte array is a block with one dimension: the words 1 and the length, then the bytes.
struct ByteArrayHeader {
    Word dimensionCount;  // always 1
    Word length;
};
static_assert(sizeof(ByteArrayHeader) == 8);

}  // namespace kx

// The payloads of the core library's ComObject and Variant data types, as program code
// allocates them. A ComObject variable points to a two-word object cell; a Variant
// variable points to one platform VARIANT, whose size differs between the builds (16 bytes
// in x86, 24 in x64): allocate by these names, never by a literal. Pure; any thread.
#pragma once

#include <cstdint>
#include <cstring>

#include "kx/word.h"

namespace kx {

// Word 0: the object's interface (or, for a record value, its record information);
// word 1: the record data, null except for a record value. Both null: an empty object.
struct ComObjectCell {
    Word object;
    Word record;
};
static_assert(sizeof(ComObjectCell) == 8, "the object cell is two words in both builds");
inline constexpr std::uint32_t kComObjectCellSize = sizeof(ComObjectCell);

// sizeof(VARIANT): a 16-bit type tag, three reserved 16-bit words, then a value of two
// pointers' width.
inline constexpr std::uint32_t kVariantSize = sizeof(void*) == 8 ? 24 : 16;

// A new Variant variable holds the 32-bit integer 0 (type tag 3), not the empty value.
inline void InitNewVariant(void* variant) {
    std::memset(variant, 0, kVariantSize);
    const std::uint16_t integerTag = 3;
    std::memcpy(variant, &integerTag, sizeof integerTag);
}

}  // namespace kx

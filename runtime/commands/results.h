// New texts and byte arrays for command results, on the runtime heap: the caller owns
// them. A result of length 0 is the null address, never an allocated empty value. Sizes
// are checked in 64 bits; a result that cannot exist is the out-of-memory error.
// Any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kx/value_cell.h"

namespace kx::commands {

// Room for a text of `length` bytes with its terminator already written; null for 0.
char* NewTextBuffer(std::uint64_t length);
// Room for a byte array of `length` bytes behind its header (1, length); null for 0.
ByteArrayHeader* NewByteArray(std::uint64_t length);
std::uint8_t* BytesOf(ByteArrayHeader* block);

// An array block of one dimension with `count` 32-bit elements (text addresses), which
// the caller fills. Always allocated, also for 0 elements: program code indexes it.
Word* NewWordArray(std::uint32_t count);

// A copy as a new text / byte array.
char* NewText(std::string_view text);
ByteArrayHeader* NewByteArrayCopy(const void* data, std::uint64_t length);

// Result cells.
inline ValueCell TextResult(const char* text) { return ValueCell::Text(text); }
inline ValueCell ByteArrayResult(const ByteArrayHeader* block) { return ValueCell::ByteArray(block); }
// An array of texts: word 0 is the block's address, the type word an array of texts.
inline ValueCell TextArrayResult(const Word* block) {
    return ValueCell::Array(block, type_word::kText);
}

}  // namespace kx::commands

// Program code's values on the runtime heap: a text variable and a byte-array variable are
// 32-bit words holding the address of their block (0 = empty), as value cells carry them.
// Reading never fails on a null; writing frees what the variable held. Any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kx/word.h"

namespace http_module {

using kx::Word;

// The text a variable holds; a null word reads as empty.
std::string_view TextOf(Word text);
// A new runtime-heap text (0 for the empty text); the caller owns it.
Word NewText(std::string_view text);
// Replaces the variable's text, freeing the old one.
void SetText(Word* variable, std::string_view text);
// Frees what the variable holds and empties it (texts and byte arrays alike).
void FreeValue(Word* variable);

// The bytes a byte-array variable holds; a null word reads as empty.
std::span<const std::uint8_t> BytesOf(Word byteArray);
// A new runtime-heap byte array (0 for the empty one); the caller owns it.
Word NewBytes(std::span<const std::uint8_t> bytes);

// The texts of an array block of texts (1, count, then one text word per element).
std::vector<std::string> TextsOf(Word textArray);
// A new array block of texts, each element a new text; always allocated.
Word NewTextArray(const std::vector<std::string>& texts);
// Frees every element of an array block of texts, then the block; empties the variable.
void FreeTextArray(Word* variable);

}  // namespace http_module

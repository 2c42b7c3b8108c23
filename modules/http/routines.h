// The module's header, cookie, marker and Base64 routines as program code calls them:
// texts and byte arrays by reference (the address of the caller's variable), results as
// new runtime-heap values the caller owns (0 for empty). The text work goes through the
// core library's text commands. Any thread of a running program.
#pragma once

#include <cstdint>
#include <span>

#include "kx/word.h"

namespace http_module {

using kx::Word;

Word HeaderName(Word* line);
Word HeaderValue(Word* line);
Word CapitalizeFirst(Word* word);
Word NormalizeHeaderNames(Word* headers);

Word CookieName(Word* item);
// `items` holds an array block of texts.
bool HasCookieNamed(Word* items, Word* name);
std::int32_t IndexOfText(Word* items, Word* text);
Word RemoveDuplicateItems(Word* text, Word* delimiter, bool splitAtDelimiter);
// Leaves the merged text in *oldCookies too, and the trimmed new text in *newCookies.
Word MergeCookies(Word* oldCookies, Word* newCookies);

Word TextBefore(Word* text, Word* marker, std::int32_t start = 0, bool ignoreCase = false);
Word TextBetween(Word* text, Word* leftMarker, Word* rightMarker, std::int32_t start = 0,
                 bool ignoreCase = false);

Word Base64Encode(Word* bytes);
// Joins byte arrays (each a byte-array word, 0 = empty) into a new one; 0 when all are empty.
Word ConcatBytes(std::span<const Word> byteArrays);

}  // namespace http_module

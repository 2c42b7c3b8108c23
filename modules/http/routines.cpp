#include "routines.h"

#include "base64.h"
#include "command_text_ops.h"
#include "cookie_text.h"
#include "header_text.h"
#include "marker_search.h"
#include "program_values.h"

namespace http_module {

namespace {
CommandTextOps ops;  // stateless
}  // namespace

Word HeaderName(Word* line) { return NewText(http_module::HeaderName(ops, TextOf(*line))); }

Word HeaderValue(Word* line) { return NewText(http_module::HeaderValue(ops, TextOf(*line))); }

Word CapitalizeFirst(Word* word) { return NewText(http_module::CapitalizeFirst(ops, TextOf(*word))); }

Word NormalizeHeaderNames(Word* headers) {
    return NewText(http_module::NormalizeHeaderNames(ops, TextOf(*headers)));
}

Word CookieName(Word* item) { return NewText(http_module::CookieName(ops, TextOf(*item))); }

bool HasCookieNamed(Word* items, Word* name) {
    return http_module::HasCookieNamed(ops, TextsOf(*items), TextOf(*name));
}

std::int32_t IndexOfText(Word* items, Word* text) {
    return http_module::IndexOfText(TextsOf(*items), TextOf(*text));
}

Word RemoveDuplicateItems(Word* text, Word* delimiter, bool splitAtDelimiter) {
    return NewText(
        http_module::RemoveDuplicateItems(ops, TextOf(*text), TextOf(*delimiter), splitAtDelimiter));
}

Word MergeCookies(Word* oldCookies, Word* newCookies) {
    const MergedCookies merged = http_module::MergeCookies(ops, TextOf(*oldCookies), TextOf(*newCookies));
    SetText(newCookies, merged.newTrimmed);
    SetText(oldCookies, merged.merged);
    return NewText(merged.merged);
}

Word TextBefore(Word* text, Word* marker, std::int32_t start, bool ignoreCase) {
    return NewText(http_module::TextBefore(ops, TextOf(*text), TextOf(*marker), start, ignoreCase));
}

Word TextBetween(Word* text, Word* leftMarker, Word* rightMarker, std::int32_t start,
                 bool ignoreCase) {
    return NewText(http_module::TextBetween(ops, TextOf(*text), TextOf(*leftMarker),
                                            TextOf(*rightMarker), start, ignoreCase));
}

Word Base64Encode(Word* bytes) { return NewText(http_module::Base64Encode(BytesOf(*bytes))); }

Word ConcatBytes(std::span<const Word> byteArrays) {
    std::vector<std::uint8_t> joined;
    for (const Word array : byteArrays) {
        const auto bytes = BytesOf(array);
        joined.insert(joined.end(), bytes.begin(), bytes.end());
    }
    return NewBytes(joined);
}

}  // namespace http_module

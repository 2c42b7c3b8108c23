// Scanning code page 936 texts: a byte of 0x80 or more starts a two-byte character, which
// every walk here steps over as one unit, so no match ever starts on its second byte.
// Positions and lengths are bytes. Pure logic; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kx::text {

inline constexpr std::size_t kNotFound = std::string_view::npos;

inline bool IsLeadByte(char byte) { return static_cast<unsigned char>(byte) >= 0x80; }

// Bytes of the character at `pos`: 2 for a lead byte with its second byte, else 1.
inline std::size_t CharSize(std::string_view text, std::size_t pos) {
    return IsLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

// Whether `sought` lies at `pos`. Ignoring case folds ASCII letters only, and never the
// second byte of a two-byte character, which may look like a letter.
bool MatchesAt(std::string_view text, std::size_t pos, std::string_view sought, bool ignoreCase);

// First occurrence starting at or after `start`; kNotFound when none. An empty `sought`
// is found at 0 when anything is searched.
std::size_t FindForward(std::string_view text, std::string_view sought, std::size_t start,
                        bool ignoreCase);

// Last occurrence that ends at or before byte `end`; kNotFound when none. An empty
// `sought` is found at 0 when anything is searched.
std::size_t FindBackward(std::string_view text, std::string_view sought, std::size_t end,
                         bool ignoreCase);

// The same two searches in a NUL-terminated text, which they measure themselves: going
// forwards in the same reads as the search, up to the first match; going backwards up to
// `end` first (kNotFound: the whole text). A sought text holding a NUL is never found.
std::size_t FindForwardInTerminated(const char* text, std::string_view sought, std::size_t start,
                                    bool ignoreCase);
std::size_t FindBackwardInTerminated(const char* text, std::string_view sought, std::size_t end,
                                     bool ignoreCase);

// Replacing occurrences of `sought` from byte `start` on. `limit` < 0: no limit.
struct Replacement {
    std::string_view text;
    std::string_view sought;
    std::string_view replacement;
    std::size_t start = 0;
    std::int64_t limit = -1;
    bool caseSensitive = false;
};
// Length of the result, then the result itself into `out` (room for that length).
std::uint64_t ReplacedLength(const Replacement& request);
void WriteReplaced(const Replacement& request, char* out);

// The pieces of `text` between occurrences of `delimiter` (matched byte for byte), at
// most `limit` of them (< 0: no limit). An empty delimiter gives the whole text; a trailing
// delimiter gives no empty last piece. Calls onPiece(std::string_view) for each.
template <typename OnPiece>
void ForEachPiece(std::string_view text, std::string_view delimiter, std::int64_t limit,
                  OnPiece&& onPiece) {
    if (text.empty() || limit == 0) return;
    if (delimiter.empty()) {
        onPiece(text);
        return;
    }
    std::size_t pieceStart = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (MatchesAt(text, pos, delimiter, false)) {
            onPiece(text.substr(pieceStart, pos - pieceStart));
            pos += delimiter.size();
            pieceStart = pos;
            if (limit > 0 && --limit == 0) return;
        } else {
            pos += CharSize(text, pos);
        }
    }
    if (pieceStart < text.size()) onPiece(text.substr(pieceStart));
}

// `text` without leading and trailing blanks: ASCII spaces and full-width spaces (0xA1 0xA1).
std::string_view TrimBlanks(std::string_view text);

// ASCII a-z to A-Z in place; two-byte characters are left alone.
void UpperCaseAscii(char* text, std::size_t size);

// The leading decimal integer of `text` read as atoi reads it (white space, an optional
// sign, digits) after folding full-width signs, digits and blanks to ASCII. Digits beyond
// 32 bits wrap, so the low bits of the written number stay exact.
std::int32_t LeadingFoldedInteger(std::string_view text);

}  // namespace kx::text

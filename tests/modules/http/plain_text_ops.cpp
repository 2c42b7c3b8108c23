#include "plain_text_ops.h"

#include <algorithm>

namespace http_module::testing {

namespace {

bool Lead(char c) { return static_cast<unsigned char>(c) >= 0x80; }
std::size_t Step(std::string_view text, std::size_t pos) {
    return Lead(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}
char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view sought, bool ignoreCase) {
    if (text.size() - pos < sought.size()) return false;
    for (std::size_t i = 0; i < sought.size(); ++i) {
        const char a = text[pos + i], b = sought[i];
        if (ignoreCase ? Fold(a) != Fold(b) : a != b) return false;
    }
    return true;
}

// Every match in bytes [from, to), stepping over two-byte characters.
template <typename OnMatch>
void Scan(std::string_view text, std::string_view sought, std::size_t from, std::size_t to,
          bool ignoreCase, OnMatch&& onMatch) {
    const std::string_view part = text.substr(0, to);
    for (std::size_t pos = from; pos < to && part.size() - pos >= sought.size();
         pos += Step(part, pos)) {
        if (MatchesAt(part, pos, sought, ignoreCase) && !onMatch(pos)) return;
    }
}

}  // namespace

std::int32_t PlainTextOps::Find(std::string_view text, std::string_view sought, std::int32_t start,
                                bool ignoreCase) {
    const std::size_t from = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
    if (from >= text.size()) return -1;
    if (sought.empty()) return 1;
    std::int32_t found = -1;
    Scan(text, sought, from, text.size(), ignoreCase, [&](std::size_t pos) {
        found = static_cast<std::int32_t>(pos + 1);
        return false;
    });
    return found;
}

std::int32_t PlainTextOps::FindBackwards(std::string_view text, std::string_view sought,
                                         std::int32_t start, bool ignoreCase) {
    const std::size_t end =
        std::min(text.size(), start > 1 ? static_cast<std::size_t>(start) - 1 : std::size_t{0});
    if (end == 0) return -1;
    if (sought.empty()) return 1;
    std::int32_t found = -1;
    Scan(text, sought, 0, end, ignoreCase, [&](std::size_t pos) {
        found = static_cast<std::int32_t>(pos + 1);
        return true;
    });
    return found;
}

std::string PlainTextOps::Left(std::string_view text, std::int32_t n) {
    return n < 1 ? std::string() : std::string(text.substr(0, static_cast<std::size_t>(n)));
}

std::string PlainTextOps::Right(std::string_view text, std::int32_t n) {
    if (n < 1) return {};
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(n));
    return std::string(text.substr(text.size() - count));
}

std::string PlainTextOps::Mid(std::string_view text, std::int32_t start, std::int32_t n) {
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || n < 1) return {};
    return std::string(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n)));
}

std::string PlainTextOps::Replace(std::string_view text, std::string_view sought,
                                  std::string_view replacement, bool caseSensitive) {
    if (text.empty() || sought.empty()) return std::string(text);
    std::string out;
    std::size_t pos = 0;
    while (text.size() - pos >= sought.size()) {
        if (MatchesAt(text, pos, sought, !caseSensitive)) {
            out += replacement;
            pos += sought.size();
        } else {
            const std::size_t step = Step(text, pos);
            out += text.substr(pos, step);
            pos += step;
        }
    }
    out += text.substr(pos);
    return out;
}

std::vector<std::string> PlainTextOps::Split(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    if (delimiter.empty()) return {std::string(text)};
    std::size_t pieceStart = 0, pos = 0;
    while (pos < text.size()) {
        if (MatchesAt(text, pos, delimiter, false)) {
            pieces.emplace_back(text.substr(pieceStart, pos - pieceStart));
            pos += delimiter.size();
            pieceStart = pos;
        } else {
            pos += Step(text, pos);
        }
    }
    if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
    return pieces;
}

std::string PlainTextOps::Trim(std::string_view text) {
    auto blankAt = [&](std::size_t pos) -> std::size_t {
        if (text[pos] == ' ') return 1;
        if (pos + 1 < text.size() && text[pos] == '\xA1' && text[pos + 1] == '\xA1') return 2;
        return 0;
    };
    std::size_t begin = 0;
    while (begin < text.size() && blankAt(begin)) begin += blankAt(begin);
    std::size_t cut = text.size();
    bool inRun = false;
    for (std::size_t pos = begin; pos < text.size();) {
        if (const std::size_t blank = blankAt(pos)) {
            if (!inRun) cut = pos;
            inRun = true;
            pos += blank;
        } else {
            inRun = false;
            cut = text.size();
            pos += Step(text, pos);
        }
    }
    return std::string(text.substr(begin, cut - begin));
}

std::string PlainTextOps::Upper(std::string_view text) {
    std::string out(text);
    for (std::size_t pos = 0; pos < out.size(); pos += Step(out, pos)) {
        if (out[pos] >= 'a' && out[pos] <= 'z') out[pos] = static_cast<char>(out[pos] - 32);
    }
    return out;
}

}  // namespace http_module::testing

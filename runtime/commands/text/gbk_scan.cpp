#include "text/gbk_scan.h"

#include <cstring>

namespace kx::text {

namespace {

unsigned char Byte(std::string_view text, std::size_t pos) {
    return static_cast<unsigned char>(text[pos]);
}

char FoldAsciiCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The walk's step: one byte, or a whole two-byte character; 0 when the character's second
// byte is cut off by the end of the text, which ends the walk.
std::size_t Step(std::string_view text, std::size_t pos) {
    if (!IsLeadByte(text[pos])) return 1;
    return pos + 2 <= text.size() ? 2 : 0;
}

bool IsFullWidthBlank(std::string_view text, std::size_t pos) {
    return pos + 1 < text.size() && Byte(text, pos) == 0xA1 && Byte(text, pos + 1) == 0xA1;
}

template <typename Sink>
void WalkReplacement(const Replacement& request, Sink&& sink) {
    const std::string_view text = request.text;
    const std::string_view sought = request.sought;
    if (text.empty() || sought.empty() || request.start >= text.size() || request.limit == 0) {
        sink(text);
        return;
    }
    std::int64_t limit = request.limit;
    std::size_t copyFrom = 0;
    std::size_t pos = request.start;
    while (text.size() - pos >= sought.size()) {
        if (MatchesAt(text, pos, sought, !request.caseSensitive)) {
            sink(text.substr(copyFrom, pos - copyFrom));
            sink(request.replacement);
            pos += sought.size();
            copyFrom = pos;
            if (limit > 0 && --limit == 0) break;
        } else {
            pos += CharSize(text, pos);
        }
    }
    sink(text.substr(copyFrom));
}

// One character of the full-width fold: the ASCII byte it folds to, or 0 when it is not
// folded.
char FullWidthFold(std::string_view text, std::size_t pos) {
    if (pos + 1 >= text.size()) return 0;
    const unsigned char first = Byte(text, pos);
    const unsigned char second = Byte(text, pos + 1);
    if (first == 0xA3 && second >= 0xA1 && second <= 0xFE) return static_cast<char>(second - 0x80);
    if (first == 0xA1) {
        switch (second) {
            case 0xA1: return ' ';
            case 0xAB: return '~';
            case 0xEE:
            case 0xEF: return '*';
            default: break;
        }
    }
    return 0;
}

}  // namespace

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view sought, bool ignoreCase) {
    if (pos > text.size() || text.size() - pos < sought.size()) return false;
    if (!ignoreCase) return std::memcmp(text.data() + pos, sought.data(), sought.size()) == 0;
    for (std::size_t i = 0; i < sought.size(); ++i) {
        const char wanted = sought[i];
        const char found = text[pos + i];
        if (IsLeadByte(wanted)) {
            // The whole character must match exactly, second byte included.
            if (found != wanted) return false;
            if (++i < sought.size() && text[pos + i] != sought[i]) return false;
        } else if (FoldAsciiCase(found) != FoldAsciiCase(wanted)) {
            return false;
        }
    }
    return true;
}

std::size_t FindForward(std::string_view text, std::string_view sought, std::size_t start,
                        bool ignoreCase) {
    if (start >= text.size()) return kNotFound;
    if (sought.empty()) return 0;
    if (text.size() - start < sought.size()) return kNotFound;
    const std::size_t lastStart = text.size() - sought.size();
    std::size_t pos = start;
    if (!ignoreCase) {
        const char first = sought[0];
        const char* rest = sought.data() + 1;
        const std::size_t restSize = sought.size() - 1;
        while (pos <= lastStart) {
            if (text[pos] == first && std::memcmp(text.data() + pos + 1, rest, restSize) == 0) {
                return pos;
            }
            const std::size_t step = Step(text, pos);
            if (step == 0) break;
            pos += step;
        }
        return kNotFound;
    }
    while (pos <= lastStart) {
        if (MatchesAt(text, pos, sought, true)) return pos;
        const std::size_t step = Step(text, pos);
        if (step == 0) break;
        pos += step;
    }
    return kNotFound;
}

std::size_t FindBackward(std::string_view text, std::string_view sought, std::size_t end,
                         bool ignoreCase) {
    const std::size_t searched = end < text.size() ? end : text.size();
    if (searched == 0) return kNotFound;
    if (sought.empty()) return 0;
    if (searched < sought.size()) return kNotFound;
    const std::string_view part = text.substr(0, searched);
    std::size_t found = kNotFound;
    std::size_t pos = 0;
    while (pos + sought.size() <= searched) {
        if (MatchesAt(part, pos, sought, ignoreCase)) found = pos;
        const std::size_t step = Step(text, pos);
        if (step == 0) break;
        pos += step;
    }
    return found;
}

std::uint64_t ReplacedLength(const Replacement& request) {
    std::uint64_t length = 0;
    WalkReplacement(request, [&](std::string_view piece) { length += piece.size(); });
    return length;
}

void WriteReplaced(const Replacement& request, char* out) {
    WalkReplacement(request, [&](std::string_view piece) {
        if (piece.empty()) return;
        std::memcpy(out, piece.data(), piece.size());
        out += piece.size();
    });
}

std::string_view TrimBlanks(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        if (text[begin] == ' ') ++begin;
        else if (IsFullWidthBlank(text, begin)) begin += 2;
        else break;
    }
    std::size_t trailingRun = kNotFound;
    for (std::size_t pos = begin; pos < text.size();) {
        const std::size_t size = CharSize(text, pos);
        const bool blank = text[pos] == ' ' || (size == 2 && IsFullWidthBlank(text, pos));
        if (!blank) trailingRun = kNotFound;
        else if (trailingRun == kNotFound) trailingRun = pos;
        pos += size;
    }
    const std::size_t end = trailingRun == kNotFound ? text.size() : trailingRun;
    return text.substr(begin, end - begin);
}

void UpperCaseAscii(char* text, std::size_t size) {
    const std::string_view view(text, size);
    for (std::size_t pos = 0; pos < size;) {
        if (text[pos] >= 'a' && text[pos] <= 'z') text[pos] = static_cast<char>(text[pos] - 'a' + 'A');
        pos += CharSize(view, pos);
    }
}

std::int32_t LeadingFoldedInteger(std::string_view text) {
    std::size_t pos = 0;
    // The next folded byte and how many text bytes it took; 0 at the end.
    auto next = [&](std::size_t& size) -> char {
        if (pos >= text.size()) {
            size = 0;
            return '\0';
        }
        if (const char folded = FullWidthFold(text, pos)) {
            size = 2;
            return folded;
        }
        size = 1;
        return text[pos];
    };
    std::size_t size = 0;
    char c = next(size);
    while (c == ' ' || (c >= '\t' && c <= '\r')) {
        pos += size;
        c = next(size);
    }
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        pos += size;
        c = next(size);
    }
    std::uint32_t value = 0;
    while (c >= '0' && c <= '9') {
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
        pos += size;
        c = next(size);
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

}  // namespace kx::text

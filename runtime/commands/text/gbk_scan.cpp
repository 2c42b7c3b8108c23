#include "text/gbk_scan.h"

#include <cstring>

#include "text/word_scan.h"

namespace kx::text {

namespace {

unsigned char Byte(std::string_view text, std::size_t pos) {
    return static_cast<unsigned char>(text[pos]);
}

char FoldAsciiCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

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

// Where a character starts. Walking from a known start, every byte is either a character's
// first byte or the second byte of a lead byte just before it; so a byte below 0x80 is
// always followed by a character start, and within a run of lead-range bytes that follows
// a start, the starts lie an even distance from the run's beginning. That lets a search jump
// to any candidate and settle its boundary by looking back only over the run before it.
class ForwardBoundaries {
public:
    ForwardBoundaries(const char* text, std::size_t walkStart) : text_(text), knownStart_(walkStart) {}

    // Positions must be asked in increasing order; each byte is looked at once at most.
    bool IsCharacterStart(std::size_t pos) {
        std::size_t runStart = pos;
        while (runStart > knownStart_ && IsLeadByte(text_[runStart - 1])) --runStart;
        const bool start = (pos - runStart) % 2 == 0;
        knownStart_ = start ? pos : pos - 1;
        return start;
    }

private:
    const char* text_;
    std::size_t knownStart_;
};

// The same rule for a walk from the text's start, asked in decreasing order: the run found
// for one position serves every lower position inside it.
class BackwardBoundaries {
public:
    explicit BackwardBoundaries(const char* text) : text_(text) {}

    bool IsCharacterStart(std::size_t pos) {
        if (!(runKnown_ && pos >= runStart_ && pos <= runEnd_)) {
            runStart_ = pos;
            while (runStart_ > 0 && IsLeadByte(text_[runStart_ - 1])) --runStart_;
            runEnd_ = pos;
            runKnown_ = true;
        }
        return (pos - runStart_) % 2 == 0;
    }

private:
    const char* text_;
    std::size_t runStart_ = 0;
    std::size_t runEnd_ = 0;
    bool runKnown_ = false;
};

char OtherAsciiCase(char c) {
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    return c;
}

// The bytes that may begin a match: the sought text's first byte, in either case of an
// ASCII letter when case is ignored.
word_scan::SoughtBytes CandidateBytes(std::string_view sought, bool ignoreCase) {
    return {sought[0], ignoreCase ? OtherAsciiCase(sought[0]) : sought[0]};
}

// Whether `sought` lies at `at`, compared byte by byte up to the first difference, so that
// in a NUL-terminated text a sought text without NUL is never compared past the terminator.
// Ignoring case folds ASCII letters only, and never the second byte of a two-byte
// character, which may look like a letter.
bool MatchesHere(const char* at, std::string_view sought, bool ignoreCase) {
    for (std::size_t i = 0; i < sought.size(); ++i) {
        const char wanted = sought[i];
        const char found = at[i];
        if (!ignoreCase) {
            if (found != wanted) return false;
        } else if (IsLeadByte(wanted)) {
            // The whole character must match exactly, second byte included.
            if (found != wanted) return false;
            if (++i < sought.size() && at[i] != sought[i]) return false;
        } else if (FoldAsciiCase(found) != FoldAsciiCase(wanted)) {
            return false;
        }
    }
    return true;
}

std::size_t Offset(const char* at, const char* text) { return static_cast<std::size_t>(at - text); }

}  // namespace

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view sought, bool ignoreCase) {
    if (pos > text.size() || text.size() - pos < sought.size()) return false;
    if (!ignoreCase) return std::memcmp(text.data() + pos, sought.data(), sought.size()) == 0;
    return MatchesHere(text.data() + pos, sought, ignoreCase);
}

std::size_t FindForward(std::string_view text, std::string_view sought, std::size_t start,
                        bool ignoreCase) {
    if (start >= text.size()) return kNotFound;
    if (sought.empty()) return 0;
    if (text.size() - start < sought.size()) return kNotFound;
    const char* const base = text.data();
    word_scan::ForwardScan candidates(base + start, base + text.size() - sought.size() + 1,
                                      CandidateBytes(sought, ignoreCase));
    ForwardBoundaries boundaries(base, start);
    while (const char* at = candidates.Next()) {
        if (MatchesHere(at, sought, ignoreCase) && boundaries.IsCharacterStart(Offset(at, base))) {
            return Offset(at, base);
        }
    }
    return kNotFound;
}

std::size_t FindForwardInTerminated(const char* text, std::string_view sought, std::size_t start,
                                    bool ignoreCase) {
    if (start == kNotFound || word_scan::TerminatedLength(text, start + 1) <= start) return kNotFound;
    if (sought.empty()) return 0;
    // A NUL would stand for the terminator; leaving such sought texts out keeps every
    // comparison from passing the terminator.
    if (sought.find('\0') != std::string_view::npos) return kNotFound;
    word_scan::TerminatedScan candidates(text + start, CandidateBytes(sought, ignoreCase));
    ForwardBoundaries boundaries(text, start);
    for (const char* at = candidates.Next(); *at != '\0'; at = candidates.Next()) {
        if (MatchesHere(at, sought, ignoreCase) && boundaries.IsCharacterStart(Offset(at, text))) {
            return Offset(at, text);
        }
    }
    return kNotFound;
}

std::size_t FindBackward(std::string_view text, std::string_view sought, std::size_t end,
                         bool ignoreCase) {
    const std::size_t searched = end < text.size() ? end : text.size();
    if (searched == 0) return kNotFound;
    if (sought.empty()) return 0;
    if (searched < sought.size()) return kNotFound;
    const char* const base = text.data();
    word_scan::BackwardScan candidates(base, base + searched - sought.size() + 1,
                                       CandidateBytes(sought, ignoreCase));
    BackwardBoundaries boundaries(base);
    while (const char* at = candidates.Next()) {
        if (MatchesHere(at, sought, ignoreCase) && boundaries.IsCharacterStart(Offset(at, base))) {
            return Offset(at, base);
        }
    }
    return kNotFound;
}

std::size_t FindBackwardInTerminated(const char* text, std::string_view sought, std::size_t end,
                                     bool ignoreCase) {
    return FindBackward(std::string_view(text, word_scan::TerminatedLength(text, end)), sought, end,
                        ignoreCase);
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

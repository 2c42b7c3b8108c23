// Finding bytes eight at a time: one 64-bit word of text is tested against one or two byte
// values at once, so the text searches run at memory speed between candidates, in both
// builds and without relying on SSE2 (the i686 build does not assume it). Pure; any thread.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kx::text::word_scan {

static_assert(std::endian::native == std::endian::little, "a word's first byte is its low byte");

using ScanWord = std::uint64_t;
inline constexpr std::size_t kWordBytes = sizeof(ScanWord);
inline constexpr ScanWord kLowSevenBits = 0x7F7F7F7F7F7F7F7Full;

constexpr ScanWord Broadcast(char byte) {
    return 0x0101010101010101ull * static_cast<unsigned char>(byte);
}

// 0x80 in each byte of `word` that is zero, 0 in every other byte. Exact for every byte, not
// only the lowest: adding 0x7F to the low seven bits of a byte never carries into the next.
constexpr ScanWord ZeroBytes(ScanWord word) {
    return ~(((word & kLowSevenBits) + kLowSevenBits) | word | kLowSevenBits);
}

// All bits of the first `count` bytes of a word (count <= 8).
constexpr ScanWord FirstBytes(std::size_t count) {
    return count >= kWordBytes ? ~ScanWord{0} : (ScanWord{1} << (8 * count)) - 1;
}

// The one or two byte values a search stops at (two for both cases of an ASCII letter).
class SoughtBytes {
public:
    SoughtBytes(char first, char other) : first_(Broadcast(first)), other_(Broadcast(other)) {}

    // 0x80 in each byte of `word` that is one of the values.
    ScanWord In(ScanWord word) const { return ZeroBytes(word ^ first_) | ZeroBytes(word ^ other_); }

private:
    ScanWord first_;
    ScanWord other_;
};

// The first `count` bytes at `at` as the low bytes of a word. Reads nothing else.
inline ScanWord LoadBytes(const char* at, std::size_t count) {
    ScanWord word = 0;
    if (count == kWordBytes) std::memcpy(&word, at, kWordBytes);  // one load
    else std::memcpy(&word, at, count);
    return word;
}

// How far `at` lies past the start of its aligned word. Only the low bits of the address are
// looked at; it never becomes a word.
inline std::size_t Misalignment(const char* at) {
    return static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(at) % kWordBytes);
}

// The aligned word at `word`, of which at least one byte belongs to a NUL-terminated text
// (is the terminator or lies before it). The other bytes may lie outside the text's block;
// an aligned word never crosses a page, so the read is safe, but AddressSanitizer would see
// a read past the block, hence its check is off here and only here.
using AliasingWord [[gnu::may_alias]] = ScanWord;
__attribute__((no_sanitize("address"))) inline ScanWord LoadWordHoldingText(const char* word) {
    return *reinterpret_cast<const AliasingWord*>(word);
}

// Positions of sought bytes in [from, end), in increasing order. Reads only that range.
class ForwardScan {
public:
    ForwardScan(const char* from, const char* end, SoughtBytes bytes)
        : next_(from), end_(end), bytes_(bytes) {}

    // The next position; nullptr when none is left.
    const char* Next() {
        while (flags_ == 0) {
            if (next_ == end_) return nullptr;
            const std::size_t count = Remaining() < kWordBytes ? Remaining() : kWordBytes;
            flags_ = bytes_.In(LoadBytes(next_, count)) & FirstBytes(count);
            word_ = next_;
            next_ += count;
        }
        const char* const at = word_ + std::countr_zero(flags_) / 8;
        flags_ &= flags_ - 1;
        return at;
    }

private:
    std::size_t Remaining() const { return static_cast<std::size_t>(end_ - next_); }

    const char* next_;
    const char* end_;
    SoughtBytes bytes_;
    const char* word_ = nullptr;
    ScanWord flags_ = 0;
};

// Positions of sought bytes in [begin, end), in decreasing order. Reads only that range.
class BackwardScan {
public:
    BackwardScan(const char* begin, const char* end, SoughtBytes bytes)
        : begin_(begin), word_(end), bytes_(bytes) {}

    // The next position; nullptr when none is left.
    const char* Next() {
        while (flags_ == 0) {
            if (word_ == begin_) return nullptr;
            const std::size_t left = static_cast<std::size_t>(word_ - begin_);
            const std::size_t count = left < kWordBytes ? left : kWordBytes;
            word_ -= count;
            flags_ = bytes_.In(LoadBytes(word_, count)) & FirstBytes(count);
        }
        const int highest = 63 - std::countl_zero(flags_);
        flags_ &= ~(ScanWord{1} << highest);
        return word_ + highest / 8;
    }

private:
    const char* begin_;
    const char* word_;
    SoughtBytes bytes_;
    ScanWord flags_ = 0;
};

// Positions of sought bytes in a NUL-terminated text from `from` (at or before the
// terminator) on, in increasing order, ending with the terminator, which it then gives
// again on every call. Reads whole aligned words, never one past the word holding the
// terminator.
class TerminatedScan {
public:
    TerminatedScan(const char* from, SoughtBytes bytes)
        : word_(from - Misalignment(from)), bytes_(bytes) {
        flags_ = Flags(LoadWordHoldingText(word_)) & ~FirstBytes(Misalignment(from));
    }

    const char* Next() {
        while (flags_ == 0) {
            word_ += kWordBytes;
            flags_ = Flags(LoadWordHoldingText(word_));
        }
        const char* const at = word_ + std::countr_zero(flags_) / 8;
        if (*at != '\0') flags_ &= flags_ - 1;
        return at;
    }

private:
    ScanWord Flags(ScanWord word) const { return bytes_.In(word) | ZeroBytes(word); }

    const char* word_;
    SoughtBytes bytes_;
    ScanWord flags_ = 0;
};

// The length of a NUL-terminated text, or `limit` when that is smaller; no byte at or past
// `limit` decides anything, and no word past the one holding the terminator is read.
inline std::size_t TerminatedLength(const char* text, std::size_t limit) {
    const std::size_t skipped = Misalignment(text);
    const char* word = text - skipped;
    ScanWord zeros = ZeroBytes(LoadWordHoldingText(word)) & ~FirstBytes(skipped);
    std::size_t nextWordOffset = kWordBytes - skipped;  // from `text`
    while (zeros == 0) {
        if (nextWordOffset >= limit) return limit;
        word += kWordBytes;
        nextWordOffset += kWordBytes;
        zeros = ZeroBytes(LoadWordHoldingText(word));
    }
    const std::size_t length = nextWordOffset + std::countr_zero(zeros) / 8 - kWordBytes;
    return length < limit ? length : limit;
}

}  // namespace kx::text::word_scan

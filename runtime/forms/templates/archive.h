// The archive encoding of form blocks and property blocks: little-endian u32 words, counted
// texts (u32 count, bytes) and byte buffers (u32 length, bytes). One reader object with one
// checked read primitive; a failed read leaves the reader failed and reads nothing more.
// Pure logic; any thread, one thread per object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kx/word.h"

namespace kx::forms {

class ArchiveReader {
public:
    ArchiveReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(data ? size : 0) {}
    explicit ArchiveReader(std::span<const std::uint8_t> bytes)
        : ArchiveReader(bytes.data(), bytes.size()) {}

    // Each answers false (and leaves its output untouched) when the archive ends early.
    bool ReadWord(Word& out);
    bool ReadCountedText(std::string& out);
    bool ReadBuffer(std::vector<std::uint8_t>& out);
    // `count` raw bytes, viewed in place.
    bool ReadBytes(std::uint64_t count, std::span<const std::uint8_t>& out);

    bool failed() const { return failed_; }
    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return size_ - offset_; }

private:
    // The one checked read: `count` bytes from the current offset, or null (and failed)
    // when fewer remain.
    const std::uint8_t* Take(std::uint64_t count);

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};

class ArchiveWriter {
public:
    void Word32(Word value);
    void CountedText(std::string_view text);
    void Buffer(std::span<const std::uint8_t> bytes);
    void Raw(std::span<const std::uint8_t> bytes);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Little-endian words at a byte offset; the caller has checked the offset.
Word LoadWord(const std::uint8_t* at);
void StoreWord(std::uint8_t* at, Word value);

}  // namespace kx::forms

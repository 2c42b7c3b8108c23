#include "archive.h"

namespace kx::forms {

const std::uint8_t* ArchiveReader::Take(std::uint64_t count) {
    if (failed_ || count > remaining()) {
        failed_ = true;
        return nullptr;
    }
    const std::uint8_t* at = data_ + offset_;
    offset_ += static_cast<std::size_t>(count);
    return at;
}

bool ArchiveReader::ReadWord(Word& out) {
    const std::uint8_t* at = Take(4);
    if (!at) return false;
    out = LoadWord(at);
    return true;
}

bool ArchiveReader::ReadBytes(std::uint64_t count, std::span<const std::uint8_t>& out) {
    const std::uint8_t* at = Take(count);
    if (!at) return false;
    out = {at, static_cast<std::size_t>(count)};
    return true;
}

bool ArchiveReader::ReadCountedText(std::string& out) {
    Word count;
    std::span<const std::uint8_t> bytes;
    if (!ReadWord(count) || !ReadBytes(count, bytes)) return false;
    out.assign(bytes.begin(), bytes.end());
    return true;
}

bool ArchiveReader::ReadBuffer(std::vector<std::uint8_t>& out) {
    Word length;
    std::span<const std::uint8_t> bytes;
    if (!ReadWord(length) || !ReadBytes(length, bytes)) return false;
    out.assign(bytes.begin(), bytes.end());
    return true;
}

void ArchiveWriter::Word32(Word value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
}

void ArchiveWriter::CountedText(std::string_view text) {
    Word32(static_cast<Word>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void ArchiveWriter::Buffer(std::span<const std::uint8_t> bytes) {
    Word32(static_cast<Word>(bytes.size()));
    Raw(bytes);
}

void ArchiveWriter::Raw(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

Word LoadWord(const std::uint8_t* at) {
    return Word{at[0]} | Word{at[1]} << 8 | Word{at[2]} << 16 | Word{at[3]} << 24;
}

void StoreWord(std::uint8_t* at, Word value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace kx::forms

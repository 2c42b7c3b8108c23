// UnitTable: the unit ids, record offsets and records of one form, held as the bytes they
// were stored in. Every offset and length is checked when the table is made, so lookups
// never read outside it. Pure logic; owned by its FormTemplate, main thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "kx/word.h"

namespace kx::forms {

class UnitTable {
public:
    UnitTable() = default;
    // A table of `unitCount` units over `bytes`; nothing when an offset, a length word or a
    // record would lie outside them, or two records share bytes.
    static std::optional<UnitTable> FromBytes(Word unitCount, std::vector<std::uint8_t> bytes);

    bool empty() const { return count_ == 0; }
    Word count() const { return count_; }
    Word IdAt(Word index) const;
    std::optional<Word> IndexOf(Word unitId) const;
    // The record bytes of unit `index` (behind its length word).
    std::span<const std::uint8_t> Record(Word index) const;
    std::span<std::uint8_t> MutableRecord(Word index);
    // Replaces the bytes of one record; its length word and the offsets of the records that
    // lie behind it follow the change in length.
    void ReplaceRecord(Word index, std::span<const std::uint8_t> bytes);
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::size_t RecordStart(Word index) const;  // of the length word

    Word count_ = 0;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace kx::forms

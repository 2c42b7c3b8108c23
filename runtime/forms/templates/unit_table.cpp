#include "unit_table.h"

#include <algorithm>
#include <utility>

#include "archive.h"

namespace kx::forms {

std::optional<UnitTable> UnitTable::FromBytes(Word unitCount, std::vector<std::uint8_t> bytes) {
    const std::uint64_t size = bytes.size();
    const std::uint64_t recordArea = 8 * std::uint64_t{unitCount};
    if (recordArea > size) return std::nullopt;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> spans;  // [start, end) of each record
    spans.reserve(unitCount);
    for (Word i = 0; i < unitCount; ++i) {
        const std::uint64_t start = recordArea + LoadWord(bytes.data() + 4 * (std::uint64_t{unitCount} + i));
        if (start + 4 > size) return std::nullopt;
        const std::uint64_t length = LoadWord(bytes.data() + start);
        if (start + 4 + length > size) return std::nullopt;
        spans.emplace_back(start, start + 4 + length);
    }
    // Replacing a record moves the ones behind it; a record inside another's bytes would be
    // moved by the wrong amount, or overwritten, and then lie outside the table.
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].first < spans[i - 1].second) return std::nullopt;
    }
    UnitTable table;
    table.count_ = unitCount;
    table.bytes_ = std::move(bytes);
    return table;
}

Word UnitTable::IdAt(Word index) const { return LoadWord(bytes_.data() + 4 * std::size_t{index}); }

std::optional<Word> UnitTable::IndexOf(Word unitId) const {
    for (Word i = 0; i < count_; ++i) {
        if (IdAt(i) == unitId) return i;
    }
    return std::nullopt;
}

std::size_t UnitTable::RecordStart(Word index) const {
    return 8 * std::size_t{count_} + LoadWord(bytes_.data() + 4 * (std::size_t{count_} + index));
}

std::span<const std::uint8_t> UnitTable::Record(Word index) const {
    const std::size_t start = RecordStart(index);
    return {bytes_.data() + start + 4, LoadWord(bytes_.data() + start)};
}

std::span<std::uint8_t> UnitTable::MutableRecord(Word index) {
    const std::size_t start = RecordStart(index);
    return {bytes_.data() + start + 4, LoadWord(bytes_.data() + start)};
}

void UnitTable::ReplaceRecord(Word index, std::span<const std::uint8_t> replacement) {
    const std::size_t start = RecordStart(index);
    const Word oldLength = LoadWord(bytes_.data() + start);
    const Word oldOffset = LoadWord(bytes_.data() + 4 * (std::size_t{count_} + index));
    const std::vector<std::uint8_t> copy(replacement.begin(), replacement.end());  // may alias
    auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(start + 4);
    first = bytes_.erase(first, first + oldLength);
    bytes_.insert(first, copy.begin(), copy.end());
    StoreWord(bytes_.data() + start, static_cast<Word>(copy.size()));
    const Word delta = static_cast<Word>(copy.size()) - oldLength;  // modulo 2^32
    for (Word j = 0; j < count_; ++j) {
        std::uint8_t* offsetWord = bytes_.data() + 4 * (std::size_t{count_} + j);
        if (LoadWord(offsetWord) > oldOffset) StoreWord(offsetWord, LoadWord(offsetWord) + delta);
    }
}

}  // namespace kx::forms

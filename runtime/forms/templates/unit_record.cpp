#include "unit_record.h"

#include <algorithm>

#include "archive.h"

namespace kx::forms {

namespace {

constexpr std::size_t kNameOffset = 24;
constexpr std::size_t kReservedTailBytes = 20;

// A zero-terminated text from the reader's offset; false when no 0 byte follows.
bool ReadZeroTerminated(ArchiveReader& reader, std::span<const std::uint8_t> record, std::string& out) {
    const auto rest = record.subspan(reader.offset());
    const auto end = std::find(rest.begin(), rest.end(), std::uint8_t{0});
    if (end == rest.end()) return false;
    std::span<const std::uint8_t> bytes;
    reader.ReadBytes(static_cast<std::uint64_t>(end - rest.begin()) + 1, bytes);
    out.assign(bytes.begin(), bytes.end() - 1);
    return true;
}

bool ReadInt(ArchiveReader& reader, std::int32_t& out) {
    Word word;
    if (!reader.ReadWord(word)) return false;
    out = static_cast<std::int32_t>(word);
    return true;
}

}  // namespace

std::optional<UnitRecord> WalkUnitRecord(Word unitId, std::span<const std::uint8_t> record) {
    UnitRecord unit;
    ArchiveReader reader(record);
    std::span<const std::uint8_t> reserved;
    if (!reader.ReadWord(unit.typeId) || !reader.ReadWord(unit.eventOwnerId) ||
        !reader.ReadBytes(kNameOffset - 8, reserved) ||
        !ReadZeroTerminated(reader, record, unit.name) ||
        !ReadZeroTerminated(reader, record, unit.remark)) {
        return std::nullopt;
    }
    unit.head = reader.offset();

    if (IsMenuItemId(unitId)) {
        unit.isMenuItem = true;
        Word skipped;
        if (!reader.ReadWord(skipped) || !reader.ReadWord(skipped) || !reader.ReadWord(unit.menuFlags) ||
            !ReadZeroTerminated(reader, record, unit.caption)) {
            return std::nullopt;
        }
        unit.menuRoutineAt = reader.offset();
        if (!reader.ReadWord(unit.menuRoutineOffset)) return std::nullopt;
        return unit;
    }

    Word childCount;
    if (!reader.ReadWord(unit.object) || !ReadInt(reader, unit.left) || !ReadInt(reader, unit.top) ||
        !ReadInt(reader, unit.width) || !ReadInt(reader, unit.height) || !reader.ReadWord(unit.cursor) ||
        !reader.ReadWord(unit.parentId) || !reader.ReadWord(childCount)) {
        return std::nullopt;
    }
    std::span<const std::uint8_t> childBytes;
    if (!reader.ReadBytes(4 * std::uint64_t{childCount}, childBytes)) return std::nullopt;
    for (Word i = 0; i < childCount; ++i) unit.children.push_back(LoadWord(childBytes.data() + 4 * std::size_t{i}));

    unit.mousePointerAt = reader.offset();
    Word pointerLength;
    if (!reader.ReadWord(pointerLength) || !reader.ReadBytes(pointerLength, unit.mousePointer)) {
        return std::nullopt;
    }
    unit.tagAt = reader.offset();
    if (!ReadZeroTerminated(reader, record, unit.tag)) return std::nullopt;
    unit.tail = reader.offset();

    Word reservedWord, eventCount;
    if (!reader.ReadWord(reservedWord) || !reader.ReadWord(unit.flags) || !ReadInt(reader, unit.tabOrder) ||
        !reader.ReadWord(eventCount)) {
        return std::nullopt;
    }
    std::span<const std::uint8_t> bindingBytes;
    if (!reader.ReadBytes(8 * std::uint64_t{eventCount}, bindingBytes) ||
        !reader.ReadBytes(kReservedTailBytes, reserved)) {
        return std::nullopt;
    }
    for (Word i = 0; i < eventCount; ++i) {
        unit.bindings.push_back({static_cast<std::int32_t>(LoadWord(bindingBytes.data() + 8 * std::size_t{i})),
                                 LoadWord(bindingBytes.data() + 8 * std::size_t{i} + 4)});
    }
    unit.propertyBlock = record.subspan(reader.offset());
    return unit;
}

}  // namespace kx::forms

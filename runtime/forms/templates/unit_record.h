// Walks one unit record: the fixed head, the two zero-terminated texts, the counted parts,
// the event bindings and the property block (or, for a menu item, its caption and routine
// word). Every walk recomputes the offsets; nothing is cached. Pure logic; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kx/word.h"

namespace kx::forms {

inline constexpr Word kNoRoutineOffset = 0xFFFFFFFF;

// Flag bits of a record.
inline constexpr Word kUnitVisible = 1;
inline constexpr Word kUnitDisabled = 2;
inline constexpr Word kUnitTabStop = 4;

struct EventBinding {
    std::int32_t eventIndex;
    Word routineOffset;  // from codeBase; kNoRoutineOffset: none
};

// Offsets of the head fields behind the remark (R).
namespace head {
inline constexpr std::size_t kObject = 0;
inline constexpr std::size_t kLeft = 4;
inline constexpr std::size_t kTop = 8;
inline constexpr std::size_t kWidth = 12;
inline constexpr std::size_t kHeight = 16;
inline constexpr std::size_t kCursor = 20;
inline constexpr std::size_t kParent = 24;
inline constexpr std::size_t kChildCount = 28;
}  // namespace head

struct UnitRecord {
    Word typeId = 0;
    Word eventOwnerId = 0;
    std::string name;
    std::string remark;
    std::size_t head = 0;  // R: just behind the remark

    bool isMenuItem = false;
    // Ordinary units.
    Word object = 0;
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    Word cursor = 0;
    Word parentId = 0;
    std::vector<Word> children;
    std::size_t mousePointerAt = 0;  // its length word
    std::span<const std::uint8_t> mousePointer;
    std::size_t tagAt = 0;
    std::string tag;
    std::size_t tail = 0;  // S: just behind the tag
    Word flags = 0;
    std::int32_t tabOrder = 0;
    std::vector<EventBinding> bindings;
    std::span<const std::uint8_t> propertyBlock;
    // Menu items.
    Word menuFlags = 0;
    std::string caption;
    std::size_t menuRoutineAt = 0;
    Word menuRoutineOffset = kNoRoutineOffset;
};

// A unit id names a menu item when its bits 28-31 are 2 and bits 24-27 are 6.
constexpr bool IsMenuItemId(Word unitId) { return (unitId >> 24) == 0x26; }

// The record of unit `unitId`; nothing when a part runs past the record's end.
std::optional<UnitRecord> WalkUnitRecord(Word unitId, std::span<const std::uint8_t> record);

}  // namespace kx::forms

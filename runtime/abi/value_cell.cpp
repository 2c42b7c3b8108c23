#include "kx/value_cell.h"

#include <type_traits>

namespace kx {

struct ValueCellLayout {
    static_assert(std::is_standard_layout_v<ValueCell>);
    static_assert(offsetof(ValueCell, low_) == 0);
    static_assert(offsetof(ValueCell, high_) == 4);
    static_assert(offsetof(ValueCell, type_) == 8);
};

std::uint32_t ElementSize(Word type) {
    switch (type) {
        case type_word::kByte: return 1;
        case type_word::kShort: return 2;
        case type_word::kInteger:
        case type_word::kFloat: return 4;
        case type_word::kLong:
        case type_word::kDouble: return 8;
        default: return 0;
    }
}

Payload PayloadOf(const ValueCell& cell) {
    switch (cell.type()) {
        case type_word::kText: {
            const char* text = cell.AsText();
            return {text, text ? static_cast<std::uint32_t>(std::strlen(text)) : 0u};
        }
        case type_word::kByteArray: {
            const auto* header = cell.AsAddress<const ByteArrayHeader*>();
            if (!header) return {nullptr, 0};
            return {header + 1, static_cast<std::uint32_t>(ArrayElementCount(header))};
        }
        case type_word::kByte: return {&cell, 1};
        case type_word::kShort: return {&cell, 2};
        case type_word::kInteger:
        case type_word::kFloat:
        case type_word::kLogical:
        case type_word::kSubroutine: return {&cell, 4};
        case type_word::kLong:
        case type_word::kDouble:
        case type_word::kDateTime:
        case type_word::kEightBytes: return {&cell, 8};
        default: return {nullptr, 0};
    }
}

Payload NumericArrayBytes(const ValueCell& cell) {
    const Word elementType = type_word::WithoutAddressBit(cell.type());
    const void* block = cell.AsAddress<const void*>();
    if (!type_word::HasAddressBit(cell.type()) || ElementSize(elementType) == 0 || !block) {
        return {nullptr, 0};
    }
    const std::uint64_t size = ArrayElementCount(block) * ElementSize(elementType);
    return {ArrayElements(block), static_cast<std::uint32_t>(size < 0xFFFFFFFFu ? size : 0xFFFFFFFFu)};
}

std::uint64_t ArrayElementCount(const void* block) {
    if (!block) return 0;
    const auto* words = static_cast<const Word*>(block);
    // A product past 64 bits stays at the largest count instead of wrapping to a small one,
    // which would pass for a block of a few elements.
    std::uint64_t count = 1;
    for (Word i = 0; i < words[0]; ++i) {
        const Word length = words[1 + i];
        if (length == 0) return 0;
        count = count > UINT64_MAX / length ? UINT64_MAX : count * length;
    }
    return count;
}

const std::uint8_t* ArrayElements(const void* block) {
    const auto* words = static_cast<const Word*>(block);
    return reinterpret_cast<const std::uint8_t*>(words + 1 + words[0]);
}

}  // namespace kx

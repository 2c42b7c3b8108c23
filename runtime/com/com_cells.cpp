#include "com_cells.h"

#include <cstring>

namespace kx::com {

namespace {

Word WordAt(Word address) {
    Word value;
    std::memcpy(&value, FromWord<const void*>(address), sizeof value);
    return value;
}

}  // namespace

ComObjectCell* ObjectCellOf(const ValueCell& cell) {
    if (cell.type() == type_word::kComObjectType) return cell.AsAddress<ComObjectCell*>();
    if (cell.type() != (type_word::kComObjectType | type_word::kAddressBit) || cell.low() == 0) {
        return nullptr;
    }
    return FromWord<ComObjectCell*>(WordAt(cell.low()));
}

void* VariantAddressOf(const ValueCell& cell) {
    if (cell.type() == type_word::kVariantType) return cell.AsAddress<void*>();
    if (cell.type() != (type_word::kVariantType | type_word::kAddressBit) || cell.low() == 0) {
        return nullptr;
    }
    return FromWord<void*>(WordAt(cell.low()));
}

std::uint32_t VariableSize(Word type) {
    switch (type) {
        case type_word::kByte: return 1;
        case type_word::kShort: return 2;
        case type_word::kInteger:
        case type_word::kFloat:
        case type_word::kLogical:
        case type_word::kText:
        case type_word::kByteArray:
        case type_word::kComObjectType:
        case type_word::kVariantType: return 4;
        case type_word::kLong:
        case type_word::kDouble:
        case type_word::kDateTime: return 8;
        default: return 0;
    }
}

bool ValueOfVariable(const ValueCell& cell, ValueCell* value) {
    if (!type_word::HasAddressBit(cell.type())) {
        *value = cell;
        return true;
    }
    const Word type = type_word::WithoutAddressBit(cell.type());
    const std::uint32_t size = VariableSize(type);
    if (size == 0 || cell.low() == 0) return false;
    std::uint64_t bits = 0;
    std::memcpy(&bits, cell.AsAddress<const void*>(), size);  // little-endian: low bytes first
    if (type == type_word::kShort) bits = static_cast<std::uint32_t>(static_cast<std::int16_t>(bits));
    *value = ValueCell::Raw(static_cast<Word>(bits), static_cast<Word>(bits >> 32), type);
    return true;
}

bool SubscriptsOfPosition(std::int64_t position, const std::vector<DimensionBounds>& bounds,
                          std::vector<std::int32_t>* subscripts) {
    // Beyond this count an array is refused; checked before multiplying, so that the
    // product of up to 2^32 per dimension can never overflow.
    constexpr std::int64_t kMostElements = std::int64_t{1} << 40;
    std::int64_t total = 1;
    for (const DimensionBounds& dimension : bounds) {
        const std::int64_t length = std::int64_t{dimension.upper} - dimension.lower + 1;
        if (length <= 0 || total > kMostElements / length) return false;
        total *= length;
    }
    if (bounds.empty() || position < 1 || position > total) return false;
    subscripts->clear();
    std::int64_t rest = position - 1;
    for (const DimensionBounds& dimension : bounds) {
        const std::int64_t length = std::int64_t{dimension.upper} - dimension.lower + 1;
        subscripts->push_back(static_cast<std::int32_t>(dimension.lower + rest % length));
        rest /= length;
    }
    return true;
}

}  // namespace kx::com

// Reading object, Variant and by-reference cells, and element positions of arrays.
#include <gtest/gtest.h>

#include "com_cells.h"
#include "pure/low_memory.h"

namespace kx::com {
namespace {

TEST(ComCells, FindsTheObjectCellByValueAndByReference) {
    ComObjectCell* cell = testing::LowCopy(ComObjectCell{});
    Word* variable = testing::LowCopy(ToWord(cell));
    Word* nullVariable = testing::LowCopy(Word{0});
    EXPECT_EQ(ObjectCellOf(ValueCell::Raw(ToWord(cell), 0, type_word::kComObjectType)), cell);
    EXPECT_EQ(ObjectCellOf(ValueCell::Reference(variable, type_word::kComObjectType)), cell);
    const ValueCell nothing[] = {
        ValueCell::Reference(nullVariable, type_word::kComObjectType),
        ValueCell::Raw(0, 0, type_word::kComObjectType | type_word::kAddressBit),
        ValueCell::Raw(ToWord(cell), 0, type_word::kVariantType),
        ValueCell::Raw(ToWord(cell), 0, type_word::kInteger),
        ValueCell::Omitted(),
    };
    for (const ValueCell& row : nothing) EXPECT_EQ(ObjectCellOf(row), nullptr) << std::hex << row.type();
}

TEST(ComCells, FindsTheVariantByValueAndByReference) {
    auto* variant = static_cast<unsigned char*>(testing::LowBlock(kVariantSize));
    Word* variable = testing::LowCopy(ToWord(variant));
    EXPECT_EQ(VariantAddressOf(ValueCell::Raw(ToWord(variant), 0, type_word::kVariantType)), variant);
    EXPECT_EQ(VariantAddressOf(ValueCell::Reference(variable, type_word::kVariantType)), variant);
    EXPECT_EQ(VariantAddressOf(ValueCell::Raw(ToWord(variant), 0, type_word::kComObjectType)), nullptr);
    EXPECT_EQ(VariantAddressOf(ValueCell::Raw(0, 0, type_word::kVariantType | type_word::kAddressBit)), nullptr);
}

TEST(ComCells, ReadsByReferenceVariablesAsTheirValues) {
    std::uint8_t* byte = testing::LowCopy(std::uint8_t{0xF0});
    std::int16_t* shortValue = testing::LowCopy(std::int16_t{-3});
    std::int64_t* longValue = testing::LowCopy(std::int64_t{-5});
    double* doubleValue = testing::LowCopy(2.25);
    struct Row {
        ValueCell cell;
        Word low;
        Word high;
        Word type;
    };
    const Row rows[] = {
        {ValueCell::Reference(byte, type_word::kByte), 0xF0, 0, type_word::kByte},
        {ValueCell::Reference(shortValue, type_word::kShort), 0xFFFFFFFD, 0, type_word::kShort},
        {ValueCell::Reference(longValue, type_word::kLong), 0xFFFFFFFB, 0xFFFFFFFF, type_word::kLong},
        {ValueCell::Reference(doubleValue, type_word::kDouble), 0, 0x40020000, type_word::kDouble},
        {ValueCell::Integer(9), 9, 0, type_word::kInteger},
    };
    for (const Row& row : rows) {
        ValueCell value;
        ASSERT_TRUE(ValueOfVariable(row.cell, &value)) << std::hex << row.type;
        EXPECT_EQ(value.low(), row.low);
        EXPECT_EQ(value.high(), row.high);
        EXPECT_EQ(value.type(), row.type);
    }
    ValueCell untouched = ValueCell::Integer(77);
    EXPECT_FALSE(ValueOfVariable(ValueCell::Raw(0, 0, type_word::kInteger | type_word::kAddressBit), &untouched));
    EXPECT_FALSE(ValueOfVariable(ValueCell::Reference(byte, 0x00020005), &untouched));
    EXPECT_EQ(untouched.AsInt32(), 77);
}

TEST(ComCells, TurnsPositionsIntoSubscriptsWithTheFirstDimensionFastest) {
    const std::vector<DimensionBounds> oneDimension = {{1, 5}};
    const std::vector<DimensionBounds> twoDimensions = {{0, 1}, {3, 5}};
    struct Row {
        const std::vector<DimensionBounds>* bounds;
        std::int64_t position;
        std::vector<std::int32_t> subscripts;  // empty: outside
    };
    const Row rows[] = {
        {&oneDimension, 1, {1}},   {&oneDimension, 5, {5}},     {&oneDimension, 0, {}},
        {&oneDimension, 6, {}},    {&oneDimension, -1, {}},     {&twoDimensions, 1, {0, 3}},
        {&twoDimensions, 2, {1, 3}}, {&twoDimensions, 3, {0, 4}}, {&twoDimensions, 6, {1, 5}},
        {&twoDimensions, 7, {}},
    };
    for (const Row& row : rows) {
        std::vector<std::int32_t> subscripts = {99};
        const bool inside = SubscriptsOfPosition(row.position, *row.bounds, &subscripts);
        EXPECT_EQ(inside, !row.subscripts.empty()) << row.position;
        const std::vector<std::int32_t> expected = inside ? row.subscripts : std::vector<std::int32_t>{99};
        EXPECT_EQ(subscripts, expected) << row.position;
    }
    std::vector<std::int32_t> subscripts;
    EXPECT_FALSE(SubscriptsOfPosition(1, {}, &subscripts));
    EXPECT_FALSE(SubscriptsOfPosition(1, {{1, 0}}, &subscripts)) << "an empty dimension";
}

// The element count of these bounds lies past 2^64: it must be refused, not taken modulo.
TEST(ComCells, RefusesPositionsInArraysTooLargeToCount) {
    const std::vector<DimensionBounds> rows[] = {
        {{INT32_MIN, INT32_MAX}, {0, 255}, {0, 1 << 24}},  // 2^64 + 2^40 elements
        {{INT32_MIN, INT32_MAX}, {INT32_MIN, INT32_MAX}},  // 2^64
    };
    for (const auto& bounds : rows) {
        std::vector<std::int32_t> subscripts = {99};
        EXPECT_FALSE(SubscriptsOfPosition(5, bounds, &subscripts)) << bounds.size();
        EXPECT_EQ(subscripts, std::vector<std::int32_t>{99});
    }
}

}  // namespace
}  // namespace kx::com

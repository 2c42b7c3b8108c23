// Reading object, Variant and by-reference cells, and element positions of arrays.
#include <gtest/gtest.h>

#include "com_cells.h"
#include "pure/low_memory.h"

namespace kx::com {
namespace {

TEST(ComCells, ReadsByReferenceVariablesAsTheirValues) {
    std::uint8_t* byte = testing::LowCopy(std::uint8_t{0xF0});
    struct Row {
        ValueCell cell;
        Word low;
        Word high;
        Word type;
    };
    const Row rows[] = {
        {ValueCell::Reference(byte, type_word::kByte), 0xF0, 0, type_word::kByte},
        {ValueCell::Reference(testing::LowCopy(std::int16_t{-3}), type_word::kShort), 0xFFFFFFFD, 0, type_word::kShort},
        {ValueCell::Reference(testing::LowCopy(std::int64_t{-5}), type_word::kLong), 0xFFFFFFFB, 0xFFFFFFFF, type_word::kLong},
        {ValueCell::Reference(testing::LowCopy(2.25), type_word::kDouble), 0, 0x40020000, type_word::kDouble},
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
    const std::vector<DimensionBounds> one = {{1, 5}};
    const std::vector<DimensionBounds> two = {{0, 1}, {3, 5}};
    // Element counts past 2^64 must be refused, not taken modulo.
    const std::vector<DimensionBounds> pastTwoTo64 = {{INT32_MIN, INT32_MAX}, {0, 255}, {0, 1 << 24}};
    const std::vector<DimensionBounds> twoTo64 = {{INT32_MIN, INT32_MAX}, {INT32_MIN, INT32_MAX}};
    const std::vector<DimensionBounds> none = {};
    const std::vector<DimensionBounds> empty = {{1, 0}};
    struct Row {
        const std::vector<DimensionBounds>* bounds;
        std::int64_t position;
        std::vector<std::int32_t> subscripts;  // empty: outside
    };
    const Row rows[] = {
        {&one, 1, {1}}, {&one, 5, {5}}, {&one, 0, {}}, {&one, 6, {}}, {&one, -1, {}},
        {&two, 1, {0, 3}}, {&two, 2, {1, 3}}, {&two, 3, {0, 4}}, {&two, 6, {1, 5}}, {&two, 7, {}},
        {&pastTwoTo64, 5, {}}, {&twoTo64, 5, {}}, {&none, 1, {}}, {&empty, 1, {}},
    };
    for (const Row& row : rows) {
        std::vector<std::int32_t> subscripts = {99};
        const bool inside = SubscriptsOfPosition(row.position, *row.bounds, &subscripts);
        EXPECT_EQ(inside, !row.subscripts.empty()) << row.position;
        EXPECT_EQ(subscripts, inside ? row.subscripts : std::vector<std::int32_t>{99}) << row.position;
    }
}

}  // namespace
}  // namespace kx::com

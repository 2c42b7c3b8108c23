#include "kx/value_cell.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "pure/low_memory.h"

namespace kx {
namespace {

TEST(ValueCell, PayloadOfEachKind) {
    const char* text = testing::LowCopy("abc");
    const ValueCell textCell = ValueCell::Text(text);
    EXPECT_EQ(PayloadOf(textCell).address, text);
    EXPECT_EQ(PayloadOf(textCell).size, 3u);
    EXPECT_EQ(PayloadOf(ValueCell::Text(nullptr)).size, 0u);

    const Word* block = testing::LowCopy({Word{1}, Word{3}, Word{0x00636261}});
    const ValueCell bytes = ValueCell::ByteArray(block);
    EXPECT_EQ(PayloadOf(bytes).address, &block[2]);
    EXPECT_EQ(PayloadOf(bytes).size, 3u);
    EXPECT_EQ(PayloadOf(ValueCell::ByteArray(nullptr)).address, nullptr);

    const ValueCell number = ValueCell::Integer(7);
    EXPECT_EQ(PayloadOf(number).address, &number);
    EXPECT_EQ(PayloadOf(number).size, 4u);
    EXPECT_EQ(PayloadOf(ValueCell::Double(1.0)).size, 8u);
    EXPECT_EQ(PayloadOf(ValueCell::Raw(1, 2, type_word::kWindowType)).address, nullptr);
    EXPECT_EQ(PayloadOf(ValueCell::Omitted()).size, 0u);
}

TEST(ValueCell, ArrayElementCountIsTheProductOfDimensions) {
    const Word twoByThree[] = {2, 2, 3};
    const Word noDimensions[] = {0};
    const Word emptyDimension[] = {2, 4, 0};
    EXPECT_EQ(ArrayElementCount(twoByThree), 6u);
    EXPECT_EQ(ArrayElementCount(noDimensions), 1u);
    EXPECT_EQ(ArrayElementCount(emptyDimension), 0u);
    EXPECT_EQ(ArrayElementCount(nullptr), 0u);
    const Word pastSixtyFourBits[] = {3, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    const Word thenEmpty[] = {4, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0};
    EXPECT_EQ(ArrayElementCount(pastSixtyFourBits), UINT64_MAX);
    EXPECT_EQ(ArrayElementCount(thenEmpty), 0u);
    EXPECT_EQ(ArrayElements(twoByThree), reinterpret_cast<const std::uint8_t*>(&twoByThree[3]));
}

}  // namespace
}  // namespace kx

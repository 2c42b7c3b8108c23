#include "kx/value_cell.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kx {
namespace {

TEST(ValueCell, EightByteKindsComeBackWhole) {
    const ValueCell date = ValueCell::DateTime(46361.25);
    EXPECT_EQ(date.type(), type_word::kDateTime);
    EXPECT_EQ(date.AsDouble(), 46361.25);
    const ValueCell big = ValueCell::Long(-0x123456789A);
    EXPECT_EQ(big.AsInt64(), -0x123456789A);
    EXPECT_EQ(big.high(), 0xFFFFFFEDu);
}

TEST(ValueCell, ElementSizesByTypeWord) {
    struct Row { Word type; std::uint32_t size; };
    const Row rows[] = {
        {type_word::kByte, 1},    {type_word::kShort, 2},     {type_word::kInteger, 4},
        {type_word::kFloat, 4},   {type_word::kLong, 8},      {type_word::kDouble, 8},
        {type_word::kLogical, 0}, {type_word::kDateTime, 0},  {type_word::kText, 0},
        {type_word::kOmitted, 0}, {0xA0000301, 0},             {type_word::kWindowType, 0},
    };
    for (const Row& row : rows) EXPECT_EQ(ElementSize(row.type), row.size) << std::hex << row.type;
}

TEST(ValueCell, PayloadOfEachKind) {
    const char text[] = "abc";
    const ValueCell textCell = ValueCell::Text(text);
    EXPECT_EQ(PayloadOf(textCell).address, text);
    EXPECT_EQ(PayloadOf(textCell).size, 3u);
    EXPECT_EQ(PayloadOf(ValueCell::Text(nullptr)).size, 0u);

    const Word block[] = {1, 3, 0x00636261};
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
    EXPECT_EQ(ArrayElements(twoByThree), reinterpret_cast<const std::uint8_t*>(&twoByThree[3]));
}

TEST(TypeWords, ClassificationByTopBits) {
    EXPECT_TRUE(type_word::IsBaseType(type_word::kText));
    EXPECT_TRUE(type_word::IsBaseType(0xA0000301));  // array or reference of integers
    EXPECT_TRUE(type_word::IsProgramDefinedType(0x40000001));
    EXPECT_TRUE(type_word::IsLibraryDataType(type_word::kLabelType));
    EXPECT_TRUE(type_word::IsLibraryDataType(0xC0000001));
    EXPECT_FALSE(type_word::IsLibraryDataType(type_word::kOmitted));
    EXPECT_EQ(type_word::MakeDataTypeId(0, 31), type_word::kTimerType);
    EXPECT_EQ(type_word::LibraryNumberOf(type_word::kVariantType), 0u);
    EXPECT_EQ(type_word::RecordIndexOf(type_word::kVariantType), 48u);
}

TEST(Words, AddressesRoundTrip) {
    static int variable;
    EXPECT_EQ(FromWord<int*>(ToWord(&variable)), &variable);
    EXPECT_EQ(FromWord<int*>(0), nullptr);
}

}  // namespace
}  // namespace kx

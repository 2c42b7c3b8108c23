// SetVariant, VariantToBytes and ClearVariant on Variant variables as program code holds
// them, with runtime arrays turned into safe arrays of lower bound 1 and back.
#include "com_test_support.h"

namespace kx::testing {
namespace {

using commands::ClearVariant;
using commands::SetVariant;
using commands::VariantToBytes;

class VariantCommandsTest : public ComTest {};

bool Stored(std::initializer_list<ValueCell> cells) {
    const ValueCell result = Call(SetVariant, cells);
    EXPECT_EQ(result.type(), type_word::kLogical);
    return result.low() == 1;
}

std::string BytesOf(VariantVariable& variant, std::initializer_list<ValueCell> more = {}) {
    std::vector<ValueCell> cells = {variant.Cell()};
    cells.insert(cells.end(), more.begin(), more.end());
    const auto count = static_cast<std::int32_t>(cells.size());
    cells.push_back({});
    ValueCell result;
    VariantToBytes(&result, count, cells.data());
    return TakeBytes(result);
}

// A one-dimensional array block of 32-bit elements, as program code holds it.
std::vector<Word> WordBlock(std::initializer_list<Word> elements) {
    std::vector<Word> block = {1, static_cast<Word>(elements.size())};
    block.insert(block.end(), elements.begin(), elements.end());
    return block;
}

void ExpectBounds(VARIANT* variant, VARTYPE type, LONG lower, LONG upper) {
    ASSERT_EQ(V_VT(variant), VT_ARRAY | type);
    ASSERT_EQ(SafeArrayGetDim(V_ARRAY(variant)), 1u);
    LONG found = 0;
    SafeArrayGetLBound(V_ARRAY(variant), 1, &found);
    EXPECT_EQ(found, lower);
    SafeArrayGetUBound(V_ARRAY(variant), 1, &found);
    EXPECT_EQ(found, upper);
}

// The elements of a one-dimensional safe array, copied out.
template <typename Element>
std::vector<Element> ElementsOf(VARIANT* variant) {
    const SAFEARRAY* array = V_ARRAY(variant);
    const auto* data = static_cast<const Element*>(array->pvData);
    return std::vector<Element>(data, data + array->rgsabound[0].cElements);
}

TEST_F(VariantCommandsTest, ByteArraysGoInAsSafeArraysFromOneAndComeBackWhole) {
    std::vector<Word> bytes = ByteBlock(std::string("\x01\x02\xFF\x00\x05", 5));
    Word byteVariable = ToWord(bytes.data());
    const ValueCell values[] = {ValueCell::ByteArray(bytes.data()),
                                ValueCell::Reference(&byteVariable, type_word::kByteArray)};
    for (const ValueCell& value : values) {
        VariantVariable variant;
        ASSERT_TRUE(Stored({variant.ByReference(), value}));
        ExpectBounds(variant.get(), VT_UI1, 1, 5);
        EXPECT_EQ(BytesOf(variant), std::string("\x01\x02\xFF\x00\x05", 5));
    }
    VariantVariable empty;
    ASSERT_TRUE(Stored({empty.ByReference(), ValueCell::ByteArray(nullptr)}));
    ExpectBounds(empty.get(), VT_UI1, 1, 0);
    EXPECT_EQ(BytesOf(empty), "");
}

TEST_F(VariantCommandsTest, RuntimeArraysBecomeSafeArraysOfTheirElementType) {
    std::vector<Word> integers = WordBlock({7, 0xFFFFFFFF, 9});
    VariantVariable variant;
    ASSERT_TRUE(Stored({variant.Cell(), ValueCell::Array(integers.data(), type_word::kInteger)}));
    ExpectBounds(variant.get(), VT_I4, 1, 3);
    EXPECT_EQ(ElementsOf<LONG>(variant.get()), (std::vector<LONG>{7, -1, 9}));

    const char* texts[] = {"甲", nullptr};
    std::vector<Word> textBlock = WordBlock({ToWord(texts[0]), 0});
    ASSERT_TRUE(Stored({variant.Cell(), ValueCell::Array(textBlock.data(), type_word::kText)}));
    ExpectBounds(variant.get(), VT_BSTR, 1, 2);
    const std::vector<BSTR> strings = ElementsOf<BSTR>(variant.get());
    EXPECT_STREQ(strings[0], L"甲");
    EXPECT_STREQ(strings[1], L"");

    std::vector<Word> logicals = WordBlock({5, 0});
    ASSERT_TRUE(Stored({variant.Cell(), ValueCell::Array(logicals.data(), type_word::kLogical)}));
    EXPECT_EQ(ElementsOf<VARIANT_BOOL>(variant.get()), (std::vector<VARIANT_BOOL>{VARIANT_TRUE, VARIANT_FALSE}));
}

TEST_F(VariantCommandsTest, SingleValuesAndValuesThatCannotBeStored) {
    VariantVariable variant;
    ASSERT_TRUE(Stored({variant.ByReference(), T("文字")}));
    ASSERT_EQ(V_VT(variant.get()), VT_BSTR);
    EXPECT_STREQ(V_BSTR(variant.get()), L"文字");
    ASSERT_TRUE(Stored({variant.ByReference(), D(2.5)}));
    EXPECT_EQ(V_VT(variant.get()), VT_R8);
    // Refused values leave the Variant as it was.
    std::vector<Word> subroutines = WordBlock({1});
    // Dimensions whose product is (2^64 - 1)^2: one element when taken modulo 2^64.
    const Word uncountable[] = {6, 0xFFFFFFFF, 641, 6700417, 0xFFFFFFFF, 641, 6700417, 7};
    const ValueCell refused[] = {ValueCell::Raw(1, 0, 0x00020001), ValueCell::Subroutine(0x1000),
                                 ValueCell::Array(subroutines.data(), type_word::kSubroutine),
                                 ValueCell::Array(uncountable, type_word::kInteger)};
    for (const ValueCell& value : refused) {
        EXPECT_FALSE(Stored({variant.ByReference(), value})) << std::hex << value.type();
        EXPECT_EQ(V_VT(variant.get()), VT_R8);
        EXPECT_EQ(V_R8(variant.get()), 2.5);
    }
    // No Variant to store into.
    EXPECT_FALSE(Stored({ValueCell::Raw(0, 0, type_word::kVariantType), I(1)}));
    EXPECT_FALSE(Stored({T("not a variant"), I(1)}));
}

TEST_F(VariantCommandsTest, StoresElementsByOneBasedPosition) {
    VariantVariable variant;
    SAFEARRAYBOUND bound{3, 1};
    V_VT(variant.get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(variant.get()) = SafeArrayCreate(VT_VARIANT, 1, &bound);
    std::vector<Word> bytes = ByteBlock("xy");
    EXPECT_TRUE(Stored({variant.Cell(), I(5), I(1)}));
    EXPECT_TRUE(Stored({variant.Cell(), ValueCell::ByteArray(bytes.data()), I(3)}));
    EXPECT_FALSE(Stored({variant.Cell(), I(5), I(0)}));
    EXPECT_FALSE(Stored({variant.Cell(), I(5), I(4)}));
    VARIANT element;
    VariantInit(&element);
    LONG subscript = 1;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetElement(V_ARRAY(variant.get()), &subscript, &element));
    EXPECT_EQ(V_VT(&element), VT_I4);
    EXPECT_EQ(V_I4(&element), 5);
    VariantClear(&element);
    EXPECT_EQ(BytesOf(variant, {I(3)}), "xy");
    EXPECT_EQ(BytesOf(variant, {I(4)}), "");

    // Elements of a byte array are coerced; an array value cannot go into one.
    VariantVariable byteArray;
    ASSERT_TRUE(Stored({byteArray.Cell(), ValueCell::ByteArray(bytes.data())}));
    EXPECT_TRUE(Stored({byteArray.Cell(), T("65"), I(2)}));
    EXPECT_FALSE(Stored({byteArray.Cell(), T("x"), I(1)}));
    EXPECT_FALSE(Stored({byteArray.Cell(), ValueCell::ByteArray(bytes.data()), I(1)}));
    EXPECT_EQ(BytesOf(byteArray), "xA");

    VariantVariable notAnArray;
    EXPECT_FALSE(Stored({notAnArray.Cell(), I(5), I(1)}));
    EXPECT_EQ(V_VT(notAnArray.get()), VT_I4);
    EXPECT_EQ(V_I4(notAnArray.get()), 0);
}

TEST_F(VariantCommandsTest, BytesOfValuesThatAreNoByteArray) {
    VariantVariable empty;
    Call(ClearVariant, {empty.ByReference()});
    EXPECT_EQ(BytesOf(empty), "");
    VariantVariable integer;  // a new variable holds the integer 0, which has no byte form
    EXPECT_EQ(V_VT(integer.get()), VT_I4);
    EXPECT_EQ(V_I4(integer.get()), 0);
    EXPECT_EQ(BytesOf(integer), "");
    std::vector<Word> integers = WordBlock({1, 2});
    VariantVariable integerArray;
    ASSERT_TRUE(Stored({integerArray.Cell(), ValueCell::Array(integers.data(), type_word::kInteger)}));
    EXPECT_EQ(BytesOf(integerArray), "") << "only arrays of bytes give bytes";

    // A text gives what the system's own coercion to a byte array gives.
    VariantVariable text;
    ASSERT_TRUE(Stored({text.Cell(), T("ab")}));
    VARIANT coerced;
    VariantInit(&coerced);
    std::string expected;
    if (SUCCEEDED(VariantChangeType(&coerced, text.get(), 0, VT_ARRAY | VT_UI1))) {
        void* data = nullptr;
        SafeArrayAccessData(V_ARRAY(&coerced), &data);
        expected.assign(static_cast<const char*>(data), V_ARRAY(&coerced)->rgsabound[0].cElements);
        SafeArrayUnaccessData(V_ARRAY(&coerced));
        VariantClear(&coerced);
    }
    EXPECT_EQ(BytesOf(text), expected);
    EXPECT_EQ(V_VT(text.get()), VT_BSTR) << "the Variant itself is not coerced";
    EXPECT_EQ(TakeBytes(Call(VariantToBytes, {ValueCell::Raw(0, 0, type_word::kVariantType)})), "");
}

TEST_F(VariantCommandsTest, ClearingEmptiesTheWholeVariant) {
    VariantVariable variant;
    ASSERT_TRUE(Stored({variant.Cell(), T("held")}));
    Call(ClearVariant, {variant.ByReference()});
    const std::vector<unsigned char> zero(kVariantSize, 0);
    // Every byte of the block, not the members: nothing of the text may stay behind.
    EXPECT_EQ(std::memcmp(variant.get(), zero.data(), kVariantSize), 0);  // NOLINT(bugprone-suspicious-memory-comparison)
    Call(ClearVariant, {ValueCell::Raw(0, 0, type_word::kVariantType | type_word::kAddressBit)});
    Call(ClearVariant, {});
}

}  // namespace
}  // namespace kx::testing

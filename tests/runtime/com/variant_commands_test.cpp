// SetVariant, VariantToBytes and ClearVariant on Variant variables as program code holds
// them, with runtime arrays turned into safe arrays of lower bound 1 and back.
#include "com_test_support.h"

namespace kx::testing {
namespace {

using commands::ClearVariant;
using commands::SetVariant;
using commands::VariantToBytes;

class VariantCommandsTest : public ComTest {};

bool Stored(Cells cells) {
    const ValueCell result = Call(SetVariant, cells);
    EXPECT_EQ(result.type(), type_word::kLogical);
    return result.low() == 1;
}

// The bytes of the whole Variant, or of the element at a position from 1.
std::string BytesOf(VariantVariable& variant, std::int32_t position = 0) {
    return TakeBytes(position ? Call(VariantToBytes, {variant.Cell(), I(position)})
                              : Call(VariantToBytes, {variant.Cell()}));
}

// A one-dimensional array block of 32-bit elements, as program code holds it.
std::vector<Word> WordBlock(std::initializer_list<Word> elements) {
    std::vector<Word> block = {1, static_cast<Word>(elements.size())};
    block.insert(block.end(), elements.begin(), elements.end());
    return block;
}

// A value as the system turns it into text, a truth as its number so that its bits show;
// a one-dimensional array as "lower..upper:" and its elements.
std::wstring Shown(VARIANT* value) {
    VARIANT text;
    VariantInit(&text);
    if (!V_ISARRAY(value)) {
        VariantChangeType(&text, value, 0, V_VT(value) == VT_BOOL ? VT_I4 : VT_BSTR);
        VariantChangeType(&text, &text, 0, VT_BSTR);
        std::wstring shown = V_BSTR(&text) ? V_BSTR(&text) : L"";
        VariantClear(&text);
        return shown;
    }
    const LONG lower = V_ARRAY(value)->rgsabound[0].lLbound;
    const LONG upper = lower + static_cast<LONG>(V_ARRAY(value)->rgsabound[0].cElements) - 1;
    std::wstring shown = std::to_wstring(lower) + L".." + std::to_wstring(upper) + L":";
    for (LONG i = lower; i <= upper; ++i) {
        V_VT(&text) = V_VT(value) & VT_TYPEMASK;
        void* element = V_VT(&text) == VT_VARIANT ? static_cast<void*>(&text) : &V_UI1(&text);
        SafeArrayGetElement(V_ARRAY(value), &i, element);
        shown += L" " + Shown(&text);
        VariantClear(&text);
    }
    return SafeArrayGetDim(V_ARRAY(value)) == 1 ? shown : L"not one dimension";
}

TEST_F(VariantCommandsTest, StoresValuesAndRuntimeArraysAsSafeArraysFromOne) {
    std::vector<Word> bytes = ByteBlock(std::string("\x01\x02\xFF\x00\x05", 5));
    Word byteVariable = ToWord(bytes.data());
    std::vector<Word> integers = WordBlock({7, 0xFFFFFFFF, 9});
    std::vector<Word> texts = WordBlock({ToWord("甲"), 0});
    std::vector<Word> logicals = WordBlock({5, 0});
    std::vector<Word> subroutines = WordBlock({1});
    // Dimensions whose product is (2^64 - 1)^2: one element when taken modulo 2^64.
    const Word uncountable[] = {6, 0xFFFFFFFF, 641, 6700417, 0xFFFFFFFF, 641, 6700417, 7};
    struct Row {
        ValueCell value;
        VARTYPE type;  // VT_I4: refused, the Variant keeps its integer 0
        const wchar_t* shown;
    };
    const Row rows[] = {
        {T("文字"), VT_BSTR, L"文字"},
        {D(2.5), VT_R8, L"2.5"},
        {Logical(true), VT_BOOL, L"-1"},
        {ValueCell::ByteArray(bytes.data()), VT_ARRAY | VT_UI1, L"1..5: 1 2 255 0 5"},
        {ValueCell::Reference(&byteVariable, type_word::kByteArray), VT_ARRAY | VT_UI1, L"1..5: 1 2 255 0 5"},
        {ValueCell::ByteArray(nullptr), VT_ARRAY | VT_UI1, L"1..0:"},
        {ValueCell::Array(integers.data(), type_word::kInteger), VT_ARRAY | VT_I4, L"1..3: 7 -1 9"},
        {ValueCell::Array(texts.data(), type_word::kText), VT_ARRAY | VT_BSTR, L"1..2: 甲 "},
        {ValueCell::Array(logicals.data(), type_word::kLogical), VT_ARRAY | VT_BOOL, L"1..2: -1 0"},
        {ValueCell::Raw(1, 0, 0x00020001), VT_I4, L"0"},
        {ValueCell::Subroutine(0x1000), VT_I4, L"0"},
        {ValueCell::Array(subroutines.data(), type_word::kSubroutine), VT_I4, L"0"},
        {ValueCell::Array(uncountable, type_word::kInteger), VT_I4, L"0"},
    };
    for (const Row& row : rows) {
        VariantVariable variant;
        EXPECT_EQ(Stored({variant.ByReference(), row.value}), row.type != VT_I4) << row.shown;
        EXPECT_EQ(V_VT(variant.get()), row.type) << row.shown;
        EXPECT_EQ(Shown(variant.get()), row.shown);
    }
    // No Variant to store into.
    EXPECT_FALSE(Stored({ValueCell::Raw(0, 0, type_word::kVariantType), I(1)}));
    EXPECT_FALSE(Stored({T("not a variant"), I(1)}));
}

TEST_F(VariantCommandsTest, StoresAndReadsElementsByOneBasedPosition) {
    VariantVariable variant;
    SAFEARRAYBOUND bound{3, 1};
    V_VT(variant.get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(variant.get()) = SafeArrayCreate(VT_VARIANT, 1, &bound);
    std::vector<Word> bytes = ByteBlock("xy");
    EXPECT_TRUE(Stored({variant.Cell(), I(5), I(1)}));
    EXPECT_TRUE(Stored({variant.Cell(), ValueCell::ByteArray(bytes.data()), I(3)}));
    EXPECT_FALSE(Stored({variant.Cell(), I(5), I(0)}));
    EXPECT_FALSE(Stored({variant.Cell(), I(5), I(4)}));
    EXPECT_EQ(Shown(variant.get()), L"1..3: 5  1..2: 120 121");
    EXPECT_EQ(BytesOf(variant, 3), "xy");
    EXPECT_EQ(BytesOf(variant, 4), "");
    // Elements of a byte array are coerced; an array value cannot go into one.
    VariantVariable byteArray;
    ASSERT_TRUE(Stored({byteArray.Cell(), ValueCell::ByteArray(bytes.data())}));
    EXPECT_TRUE(Stored({byteArray.Cell(), T("65"), I(2)}));
    EXPECT_FALSE(Stored({byteArray.Cell(), T("x"), I(1)}));
    EXPECT_FALSE(Stored({byteArray.Cell(), ValueCell::ByteArray(bytes.data()), I(1)}));
    EXPECT_EQ(BytesOf(byteArray), "xA");
    VariantVariable notAnArray;
    EXPECT_FALSE(Stored({notAnArray.Cell(), I(5), I(1)}));
    EXPECT_EQ(Shown(notAnArray.get()), L"0");
}

TEST_F(VariantCommandsTest, BytesOfValuesThatAreNoByteArrayAndClearing) {
    VariantVariable integer;  // a new variable holds the integer 0, which has no byte form
    EXPECT_EQ(BytesOf(integer), "");
    std::vector<Word> integers = WordBlock({1, 2});
    ASSERT_TRUE(Stored({integer.Cell(), ValueCell::Array(integers.data(), type_word::kInteger)}));
    EXPECT_EQ(BytesOf(integer), "") << "only arrays of bytes give bytes";
    EXPECT_EQ(TakeBytes(Call(VariantToBytes, {ValueCell::Raw(0, 0, type_word::kVariantType)})), "");
    // A text gives what the system's own coercion to a byte array gives: its UTF-16 bytes.
    VariantVariable text;
    ASSERT_TRUE(Stored({text.Cell(), T("ab")}));
    EXPECT_EQ(BytesOf(text), std::string("a\0b\0", 4));
    EXPECT_EQ(V_VT(text.get()), VT_BSTR) << "the Variant itself is not coerced";
    Call(ClearVariant, {text.ByReference()});
    const std::vector<unsigned char> zero(kVariantSize, 0);
    // Every byte of the block, not the members: nothing of the text may stay behind.
    EXPECT_EQ(std::memcmp(text.get(), zero.data(), kVariantSize), 0);  // NOLINT(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(BytesOf(text), "");
    Call(ClearVariant, {ValueCell::Raw(0, 0, type_word::kVariantType | type_word::kAddressBit)});
    Call(ClearVariant, {});
}

}  // namespace
}  // namespace kx::testing

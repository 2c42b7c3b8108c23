// ToText, ToByte, the byte-array and the number commands through their CommandFn; the
// remainder by zero ends the process with the run-time error.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "command_calls.h"
#include "core_commands.h"
#include "datetime/calendar.h"

namespace kx {
namespace {

using namespace kx::testing;
using commands::ToByteArray, commands::MidByteArray, commands::ToText, commands::ToByte;

constexpr double kSecond = 1.0 / 86400;

ValueCell Array(const Word* block, Word elementType) {
    return ValueCell::Raw(ToWord(block), 0, elementType | type_word::kAddressBit);
}
// A block on the runtime heap, as program code's blocks are: the commands read a block only
// as far as it reaches.
struct FreeBlock {
    void operator()(Word* block) const { RtFree(block); }
};
using HeapBlock = std::unique_ptr<Word[], FreeBlock>;
HeapBlock OnHeap(const std::vector<Word>& words) {
    const auto size = static_cast<std::uint32_t>(words.size() * sizeof(Word));
    return HeapBlock(static_cast<Word*>(AllocCopy(words.data(), size)));
}
ValueCell Bytes(const HeapBlock& block) { return ValueCell::ByteArray(block.get()); }
std::string S(const char* bytes, std::size_t size) { return std::string(bytes, size); }

TEST(ConversionCommands, ToTextOfEveryKind) {
    const HeapBlock integers = OnHeap({1, 2, 0x64636261, 0}), shorts = OnHeap({1, 3, 0x00420041, 0x43});
    const HeapBlock texts = OnHeap({1, 1, 0});
    const HeapBlock abcZeroDef = OnHeap(ByteBlock(S("abc\0def", 7))), abc = OnHeap(ByteBlock("abc"));
    const double t = 46361 + 50703 * kSecond;  // 5 December 2026, 14:05:03
    const auto date = [](double value) { return ValueCell::DateTime(value); };
    const auto single = [](float value) { return ValueCell::Float(value); };
    const std::pair<ValueCell, const char*> rows[] = {
        {T("copy \xB0\xA1"), "copy \xB0\xA1"},  {ValueCell::Raw(7, 0, type_word::kLogical), "真"},
        {ValueCell::Logical(false), "假"},      {ValueCell::Raw(0x1C8, 0, type_word::kByte), "200"},
        {ValueCell::Raw(0x18000, 0, type_word::kShort), "-32768"}, {I(-2147483647 - 1), "-2147483648"},
        {ValueCell::Long(-0x123456789A), "-78187493530"},
        {ValueCell::Long(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
        // Floats are rounded half up to six digits first.
        {single(0.1f), "0.1"},  {single(1234567.0f), "1.23457e+06"},  {single(-811118.5f), "-811119"},
        {single(0.0f), "0"},    {single(1e-40f), "9.99995e-41"},      {single(3.14159274f), "3.14159"},
        {single(-0.000123456789f), "-0.000123457"},  {single(123456.5f), "123457"},  {single(-999999.5f), "-1e+06"},
        {single(2.5e-7f), "2.5e-07"},  {single(std::numeric_limits<float>::infinity()), "inf"},
        {ValueCell::Double(1.0 / 3), "0.3333333333333"},  {ValueCell::Double(-1e20), "-1e+20"},
        {ValueCell::Double(1e300), "1e+300"},
        // Date-times leave out their trailing zero fields.
        {date(t), "2026年12月5日14时5分3秒"},  {date(t - 3 * kSecond), "2026年12月5日14时5分"},
        {date(t - 303 * kSecond), "2026年12月5日14时"},  {date(46361), "2026年12月5日"},
        {date(46361 + 9 * kSecond), "2026年12月5日0时0分9秒"}, {date(46361 + 420 * kSecond), "2026年12月5日0时7分"},
        {date(datetime::kMinDate), "100年1月1日"},  {date(-1.25), "1899年12月29日6时"},
        {date(datetime::kMaxDate + 0.75), "9999年12月31日"},
        {Bytes(abcZeroDef), "abc"}, {Bytes(abc), "abc"},
        {Array(integers.get(), type_word::kInteger), "abcd"}, {Array(shorts.get(), type_word::kShort), "A"},
        {Array(nullptr, type_word::kInteger), ""},          {Array(texts.get(), type_word::kText), ""},
        {ValueCell::Text(nullptr), ""}, {ValueCell::Subroutine(0x401000), ""},  {ValueCell::Omitted(), ""},
        {ValueCell::Raw(1, 2, type_word::kEightBytes), ""}, {ValueCell::Raw(1, 2, type_word::kWindowType), ""},
    };
    for (const auto& [value, text] : rows) EXPECT_EQ(Shown(Call(ToText, {value})), text) << std::hex << value.type();
    const char constant[] = "abc";
    const ValueCell copy = Call(ToText, {T(constant)});
    EXPECT_NE(copy.AsText(), constant);
    TakeText(copy);
}

TEST(ConversionCommands, ToByteFoldsFullWidthTextAndKeepsTheLowByte) {
    const std::pair<ValueCell, const char*> rows[] = {
        {T("300"), "b44"},  {T(" \t-12abc"), "b244"},  {T("\xA3\xB3\xA3\xB0\xA3\xB0"), "b44"},  // ３００
        {T("\xA1\xA1\xA3\xAD\xA3\xB1"), "b255"},  {T("\xA3\xAB\xA3\xB5"), "b5"},           // 　－１, ＋５
        {T("1\xA3\xB2"), "b12"},  {T("\xB0\xA1" "5"), "b0"},  {T("99999999999"), "b255"},  {T(""), "b0"},
        {T("4294967340"), "b44"},  // past 32 bits the number wraps, so the low byte stays exact
        {I(-1), "b255"},  {ValueCell::Short(-2), "b254"},  {ValueCell::Long(0x1FF), "b255"},
        {ValueCell::Logical(true), "b1"},  {ValueCell::Subroutine(0x401234), "b52"},  {ValueCell::Double(300.9), "b44"},
        {ValueCell::Double(-1.5), "b255"},  {ValueCell::Float(65.7f), "b65"},  {ValueCell::Double(1e20), "b0"},
        {ValueCell::Double(std::nan("")), "b0"},  {ValueCell::DateTime(46361.0), "b0"},  {ValueCell::Omitted(), "b0"},
    };
    for (const auto& [value, byte] : rows) EXPECT_EQ(Shown(Call(ToByte, {value})), byte) << std::hex << value.type();
}

TEST(ConversionCommands, ByteArrays) {
    const HeapBlock integers = OnHeap({1, 2, 1, 2});
    const HeapBlock floats = OnHeap({1, 2, 0x3F800000, 0x40000000, 0xFFFFFFFF, 0xFFFFFFFF});  // words past the array
    const HeapBlock source = OnHeap(ByteBlock(S("x\0y", 3))), abcdef = OnHeap(ByteBlock("abcdef"));
    ExpectRows({{
        {ToByteArray, {T("ab")}, "ab"},  {ToByteArray, {T("")}, ""},  {ToByteArray, {Bytes(source)}, S("x\0y", 3)},
        {ToByteArray, {I(0x04030201)}, "\x01\x02\x03\x04"},  {ToByteArray, {ValueCell::Short(0x0102)}, "\x02\x01"},
        {ToByteArray, {ValueCell::Long(0x0807060504030201)}, "\x01\x02\x03\x04\x05\x06\x07\x08"},
        {ToByteArray, {ValueCell::DateTime(1.0)}, S("\0\0\0\0\0\0\xF0\x3F", 8)},
        {ToByteArray, {ValueCell::Logical(true)}, S("\x01\0\0\0", 4)},
        {ToByteArray, {Array(integers.get(), type_word::kInteger)}, S("\x01\0\0\0\x02\0\0\0", 8)},
        {ToByteArray, {Array(floats.get(), type_word::kFloat)}, S("\0\0\x80\x3F\0\0\0\x40", 8)},
        {ToByteArray, {ValueCell::Raw(1, 2, type_word::kEightBytes)}, ""},
        {ToByteArray, {ValueCell::Byte(0x41)}, "A"},
        {ToByteArray, {ValueCell::Subroutine(0x01020304)}, "\x04\x03\x02\x01"},
        {ToByteArray, {ValueCell::Float(1.0f)}, S("\0\0\x80\x3F", 4)},
        {commands::BlankByteArray, {I(3)}, S("\0\0\0", 3)},  {commands::BlankByteArray, {I(-1)}, ""},
        {MidByteArray, {Bytes(abcdef), I(2), I(3)}, "bcd"},  {MidByteArray, {Bytes(abcdef), I(-5), I(2)}, "ab"},
        {MidByteArray, {Bytes(abcdef), I(6), I(9)}, "f"},    {MidByteArray, {Bytes(abcdef), I(100), I(1)}, ""},
        {MidByteArray, {Bytes(abcdef), I(2), I(-1)}, ""},
        {MidByteArray, {ValueCell::ByteArray(nullptr), I(1), I(5)}, ""},
        {commands::ByteArrayLength, {Bytes(abcdef)}, "#6"},   {commands::ByteArrayLength, {T("abc")}, "#0"},
    }});
    const ValueCell copy = Call(ToByteArray, {Bytes(source)});
    EXPECT_NE(copy.low(), Bytes(source).low());
    TakeBytes(copy);
}

TEST(ConversionCommands, BytesAreTakenOnlyAsFarAsTheirBlockReaches) {
    // Headers that claim more than their heap blocks hold: 256 bytes, 64 integers.
    const HeapBlock bytes = OnHeap({1, 256, 0x64636261, 0x68676665});
    const HeapBlock integers = OnHeap({1, 64, 0x64636261, 0x68676665});
    const std::size_t held = ReadableBytes(bytes.get()) - 8;
    ASSERT_GE(held, 8u);
    std::memset(bytes.get() + 2, 'a', held);
    std::memset(integers.get() + 2, 'a', held);
    const std::string heldBytes(held, 'a');
    for (const ValueCell& value : {ValueCell::ByteArray(bytes.get()), Array(integers.get(), type_word::kInteger)}) {
        EXPECT_EQ(TakeBytes(Call(ToByteArray, {value})), heldBytes);
        EXPECT_EQ(TextOf(ToText, {value}), heldBytes);
    }
    EXPECT_EQ(TakeBytes(Call(MidByteArray, {ValueCell::ByteArray(bytes.get()), I(2), I(1000)})), heldBytes.substr(1));
}

TEST(ConversionCommands, Numbers) {
    struct Row { CommandFn command; Cells arguments; double result; };
    auto d = [](double v) { return ValueCell::Double(v); };
    const Row rows[] = {
        {commands::Remainder, {d(7.5), d(2)}, 1.5},  {commands::Remainder, {d(-7), d(3)}, -1},
        {commands::Remainder, {d(100), d(7), d(3)}, 2},  {commands::Remainder, {d(5.5)}, 5.5},
        {commands::Remainder, {I(7), I(-4)}, 3},     {commands::BitAnd, {I(-1), I(0x7F), I(0x3C)}, 0x3C},
        {commands::BitAnd, {}, 0},                   {commands::ShiftLeft, {I(1), I(33)}, 2},
        {commands::ShiftLeft, {I(1), I(-1)}, -2147483648.0},  {commands::ShiftRight, {I(-16), I(2)}, -4},
        {commands::ShiftRight, {I(16), I(34)}, 4},
        // An omitted argument is one that was not given, also among the operands.
        {commands::BitAnd, {I(0xFF), ValueCell::Omitted(), I(0x0F)}, 0x0F},
        {commands::Remainder, {d(5), ValueCell::Omitted()}, 5},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const ValueCell result = Call(rows[i].command, rows[i].arguments);
        const bool remainder = rows[i].command == commands::Remainder;
        EXPECT_EQ(result.type(), remainder ? type_word::kDouble : type_word::kInteger) << "row " << i;
        EXPECT_EQ(remainder ? result.AsDouble() : result.AsInt32(), rows[i].result) << "row " << i;
    }
}

void RemainderOf(Cells arguments) {
    ShowBoxesOnStderr();
    Call(commands::Remainder, arguments);
}

TEST(ConversionCommandsDeathTest, RemainderByZeroIsARunTimeError) {
    EXPECT_EXIT(RemainderOf({ValueCell::Double(1), ValueCell::Double(0)}), ::testing::ExitedWithCode(-1),
                "错误信息：不能求余数于零");
    EXPECT_EXIT(RemainderOf({ValueCell::Double(5), ValueCell::Double(2), ValueCell::Double(-0.0)}),
                ::testing::ExitedWithCode(-1), "不能求余数于零");
}

}  // namespace
}  // namespace kx

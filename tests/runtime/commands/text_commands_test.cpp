// The text commands through their CommandFn. 丂 is the pair 0x81 0x41, whose second byte
// is the letter A: no search may find that A, nor fold it when ignoring case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_calls.h"
#include "core_commands.h"

namespace kx {
namespace {

using namespace kx::testing;
using commands::FindText, commands::FindTextBackwards, commands::ReplaceSubtext;

const ValueCell kOmitted = ValueCell::Omitted();
const ValueCell kYes = ValueCell::Logical(true);

// An array-of-texts result as its pieces; the pieces and the block are freed.
std::vector<std::string> TakeTexts(const ValueCell& result) {
    EXPECT_EQ(result.type(), type_word::kText | type_word::kAddressBit);
    auto* block = result.AsAddress<Word*>();
    if (!block) return {"<no block>"};
    EXPECT_EQ(block[0], 1u);
    std::vector<std::string> pieces;
    for (Word i = 0; i < block[1]; ++i) pieces.push_back(TakeText(ValueCell::Text(FromWord<char*>(block[2 + i]))));
    RtFree(block);
    return pieces;
}

struct IntegerRow { CommandFn command; Cells arguments; std::int32_t result; };

TEST(TextCommands, PositionsLengthsAndCodes) {
    const IntegerRow rows[] = {
        {FindText, {T("abcabc"), T("bc")}, 2},              {FindText, {T("abcabc"), T("bc"), I(3)}, 5},
        {FindText, {T("abcabc"), T("bc"), I(7)}, -1},       {FindText, {T("abcabc"), T("bc"), I(-9)}, 2},
        {FindText, {T("abc"), T("")}, 1},                   {FindText, {T("abc"), T(""), I(4)}, -1},
        {FindText, {T(""), T("")}, -1},                     {FindText, {T("ab"), T("abc")}, -1},
        {FindText, {T("ABC"), T("b")}, -1},                 {FindText, {T("ABC"), T("b"), kOmitted, kYes}, 2},
        {FindText, {T("\x81\x41" "A"), T("A")}, 3},         {FindText, {T("\x81\x41"), T("A")}, -1},
        {FindText, {T("\x81\x41\x81\x42"), T("\x41\x81")}, -1},
        {FindText, {T("\x81\x61" "\x81\x41"), T("\x81\x41"), kOmitted, kYes}, 3},
        {FindText, {T("a\xB0"), T("\xB0")}, 2},
        {FindText, {T("\x81\x41"), T("A"), I(2)}, 2},  // a start inside a character is the caller's
        {FindTextBackwards, {T("abcabc"), T("bc")}, 5},     {FindTextBackwards, {T("abcabc"), T("bc"), I(7)}, 5},
        {FindTextBackwards, {T("abcabc"), T("bc"), I(6)}, 2}, {FindTextBackwards, {T("abcabc"), T("bc"), I(3)}, -1},
        {FindTextBackwards, {T("abc"), T("")}, 1},          {FindTextBackwards, {T(""), T("")}, -1},
        {FindTextBackwards, {T("ABCab"), T("bc"), kOmitted, kYes}, 2},
        {FindTextBackwards, {T("A\x81\x41"), T("A")}, 1},
        // Texts over several words, with matches in the first and the last.
        {FindText, {T("Date: Sat, 05 Dec 2026 06:05:03 GMT\xB1\xB1"), T("date"), I(2), kYes}, -1},
        {FindText, {T("Date: Sat, 05 Dec 2026 06:05:03 GMT\xB1\xB1"), T("\xB1\xB1")}, 36},
        {FindTextBackwards, {T("Date: Sat, 05 Dec 2026 06:05:03 GMT date"), T("DATE"), I(41), kYes}, 37},
        {FindTextBackwards, {T("Date: Sat, 05 Dec 2026 06:05:03 GMT date"), T("DATE"), I(40), kYes}, 1},
        {commands::TextLength, {T("\xB0\xA1z")}, 3},        {commands::TextLength, {}, 0},
        {commands::CharCodeAt, {T("\xA8\x41" "b")}, -88},   {commands::CharCodeAt, {T("\xA8\x41" "b"), I(2)}, 0x41},
        {commands::CharCodeAt, {T("ab"), I(3)}, 0},         {commands::CharCodeAt, {T("ab"), I(0)}, 0},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const ValueCell result = Call(rows[i].command, rows[i].arguments);
        EXPECT_EQ(result.type(), type_word::kInteger);
        EXPECT_EQ(result.AsInt32(), rows[i].result) << "row " << i;
    }
}

TEST(TextCommands, NewTexts) {
    struct Row { CommandFn command; Cells arguments; const char* result; };
    const ValueCell dash = T("-");
    const Row rows[] = {
        {commands::LeftText, {T("abc"), I(2)}, "ab"},      {commands::LeftText, {T("abc"), I(9)}, "abc"},
        {commands::LeftText, {T("abc"), I(0)}, ""},        {commands::RightText, {T("abc"), I(2)}, "bc"},
        {commands::RightText, {T("abc"), I(9)}, "abc"},    {commands::RightText, {T("abc"), I(-1)}, ""},
        {commands::MidText, {T("abcdef"), I(3), I(10)}, "cdef"}, {commands::MidText, {T("abc"), I(4), I(1)}, ""},
        {commands::MidText, {T("abc"), I(0), I(2)}, ""},   {commands::MidText, {T("abc"), I(2), I(0)}, ""},
        {ReplaceSubtext, {T("aXbxc"), T("x"), dash}, "a-b-c"},
        {ReplaceSubtext, {T("aXbxc"), T("x"), dash, kOmitted, kOmitted, kYes}, "aXb-c"},
        {ReplaceSubtext, {T("aXbxc"), T("x"), dash, kOmitted, I(1)}, "a-bxc"},
        {ReplaceSubtext, {T("aXbxc"), T("x"), dash, kOmitted, I(0)}, "aXbxc"},
        {ReplaceSubtext, {T("aXbxc"), T("x"), dash, kOmitted, I(-1)}, "a-b-c"},
        {ReplaceSubtext, {T("aXbxc"), T("x"), dash, I(3)}, "aXb-c"},
        {ReplaceSubtext, {T("aXbxc"), T("x"), dash, I(6)}, "aXbxc"},
        {ReplaceSubtext, {T("aXbxc"), T(""), dash}, "aXbxc"}, {ReplaceSubtext, {T("xx"), T("x")}, ""},
        {ReplaceSubtext, {T("aaa"), T("aa"), T("b")}, "ba"},  {ReplaceSubtext, {T("ab"), T("a"), T("aa")}, "aab"},
        {ReplaceSubtext, {T("\x81\x41" "A"), T("a"), dash}, "\x81\x41-"},
        {ReplaceSubtext, {T("\x81\x61" "\x81\x41"), T("\x81\x41"), dash}, "\x81\x61-"},
        {commands::TrimSpaces, {T("  a b  ")}, "a b"},
        {commands::TrimSpaces, {T("\xA1\xA1 a\xA1\xA1" "b \xA1\xA1")}, "a\xA1\xA1" "b"},
        {commands::TrimSpaces, {T(" \xA1\xA1 ")}, ""},   {commands::TrimSpaces, {T("a \xA1")}, "a \xA1"},
        {commands::TrimSpaces, {T("\xA1\xA2 ")}, "\xA1\xA2"},
        {commands::ToUpperCase, {T("abXY1z\x81\x61" "a")}, "ABXY1Z\x81\x61" "A"},
        {commands::CharFromCode, {I(321)}, "A"},  {commands::CharFromCode, {I(-1)}, "\xFF"},
        {commands::CharFromCode, {I(256)}, ""},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(TextOf(rows[i].command, rows[i].arguments), rows[i].result) << "row " << i;
    }
}

TEST(TextCommands, SplitTextGivesAnArrayOfPieces) {
    using Pieces = std::vector<std::string>;
    struct Row { Cells arguments; Pieces pieces; };
    const Row rows[] = {
        {{T("a,,b,"), T(",")}, {"a", "", "b"}},   {{T(",a")}, {"", "a"}},
        {{T("a,b,c"), kOmitted, I(2)}, {"a", "b"}}, {{T("a,b,c"), kOmitted, I(3)}, {"a", "b", "c"}},
        {{T("a,b,c"), kOmitted, I(0)}, {}},        {{T("a,b,c"), kOmitted, I(-3)}, {}},
        {{T("")}, {}},                             {{T("abc"), T("")}, {"abc"}},
        {{T("a::b::"), T("::")}, {"a", "b"}},       {{T("\x81\x41" "Ax"), T("A")}, {"\x81\x41", "x"}},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(TakeTexts(Call(commands::SplitText, rows[i].arguments)), rows[i].pieces) << "row " << i;
    }
}

TEST(TextCommands, ArgumentsThatAreNotTextsReadAsEmpty) {
    for (const ValueCell& cell : {ValueCell::Text(nullptr), I(12), kOmitted,
                                  ValueCell::Raw(0x10, 0, type_word::kText | type_word::kAddressBit)}) {
        EXPECT_EQ(Call(commands::TextLength, {cell}).AsInt32(), 0);
        EXPECT_EQ(Call(FindText, {cell, T("")}).AsInt32(), -1);
        EXPECT_EQ(Call(FindText, {T("a"), cell}).AsInt32(), 1);
        EXPECT_EQ(TextOf(commands::TrimSpaces, {cell}), "");
        EXPECT_EQ(TextOf(ReplaceSubtext, {cell, T("a")}), "");
        EXPECT_TRUE(TakeTexts(Call(commands::SplitText, {cell})).empty());
    }
}

void ReplaceIntoMoreThanFourGibibytes() {
    ShowBoxesOnStderr();
    const std::string subject(65536, 'a');
    const std::string replacement(65537, 'b');
    Call(ReplaceSubtext, {T(subject.c_str()), T("a"), T(replacement.c_str())});
}

TEST(TextCommandsDeathTest, AResultBeyondFourGibibytesIsOutOfMemory) {
    // The length is known before anything is copied; the largest size the heap can be asked
    // for is reported, as a signed number.
    EXPECT_EXIT(ReplaceIntoMoreThanFourGibibytes(), ::testing::ExitedWithCode(-1),
                "分配 -1 字节内存失败!");
}

}  // namespace
}  // namespace kx

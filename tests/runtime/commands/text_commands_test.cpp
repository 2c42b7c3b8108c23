// The text commands through their CommandFn. 丂 is the pair 0x81 0x41, whose second byte
// is the letter A: no search may find that A, nor fold it when ignoring case.
#include <gtest/gtest.h>

#include <string>

#include "command_calls.h"
#include "core_commands.h"

namespace kx {
namespace {

using namespace kx::testing;
using namespace kx::commands;

const ValueCell kOmitted = ValueCell::Omitted();
const ValueCell kYes = ValueCell::Logical(true);

TEST(TextCommands, PositionsLengthsAndCodes) {
    ExpectRows({{
        {FindText, {T("abcabc"), T("bc")}, "#2"},            {FindText, {T("abcabc"), T("bc"), I(3)}, "#5"},
        {FindText, {T("abcabc"), T("bc"), I(7)}, "#-1"},     {FindText, {T("abcabc"), T("bc"), I(-9)}, "#2"},
        {FindText, {T("abc"), T("")}, "#1"},                 {FindText, {T("abc"), T(""), I(4)}, "#-1"},
        {FindText, {T(""), T("")}, "#-1"},                   {FindText, {T("ab"), T("abc")}, "#-1"},
        {FindText, {T("ABC"), T("b")}, "#-1"},               {FindText, {T("ABC"), T("b"), kOmitted, kYes}, "#2"},
        {FindText, {T("\x81\x41" "A"), T("A")}, "#3"},       {FindText, {T("\x81\x41"), T("A")}, "#-1"},
        {FindText, {T("\x81\x61" "\x81\x41"), T("\x81\x41"), kOmitted, kYes}, "#3"},
        {FindText, {T("\x81\x41"), T("A"), I(2)}, "#2"},  // a start inside a character is the caller's
        {FindTextBackwards, {T("abcabc"), T("bc")}, "#5"},   {FindTextBackwards, {T("abcabc"), T("bc"), I(7)}, "#5"},
        {FindTextBackwards, {T("abcabc"), T("bc"), I(6)}, "#2"}, {FindTextBackwards, {T("abcabc"), T("bc"), I(3)}, "#-1"},
        {FindTextBackwards, {T("abc"), T("")}, "#1"},        {FindTextBackwards, {T(""), T("")}, "#-1"},
        {FindTextBackwards, {T("ABCab"), T("bc"), kOmitted, kYes}, "#2"},
        {FindTextBackwards, {T("A\x81\x41"), T("A")}, "#1"},
        // Texts over several words, with matches in the first and the last.
        {FindText, {T("Date: Sat, 05 Dec 2026 06:05:03 GMT\xB1\xB1"), T("date"), I(2), kYes}, "#-1"},
        {FindText, {T("Date: Sat, 05 Dec 2026 06:05:03 GMT\xB1\xB1"), T("\xB1\xB1")}, "#36"},
        {FindTextBackwards, {T("Date: Sat, 05 Dec 2026 06:05:03 GMT date"), T("DATE"), I(41), kYes}, "#37"},
        {FindTextBackwards, {T("Date: Sat, 05 Dec 2026 06:05:03 GMT date"), T("DATE"), I(40), kYes}, "#1"},
        {TextLength, {T("\xB0\xA1z")}, "#3"},                {TextLength, {}, "#0"},
        {CharCodeAt, {T("\xA8\x41" "b")}, "#-88"},           {CharCodeAt, {T("\xA8\x41" "b"), I(2)}, "#65"},
        {CharCodeAt, {T("ab"), I(3)}, "#0"},                 {CharCodeAt, {T("ab"), I(0)}, "#0"},
    }});
}

TEST(TextCommands, NewTextsAndPieces) {
    const ValueCell dash = T("-");
    ExpectRows({{
        {LeftText, {T("abc"), I(2)}, "ab"},      {LeftText, {T("abc"), I(9)}, "abc"},
        {LeftText, {T("abc"), I(0)}, ""},        {RightText, {T("abc"), I(2)}, "bc"},
        {RightText, {T("abc"), I(9)}, "abc"},    {RightText, {T("abc"), I(-1)}, ""},
        {MidText, {T("abcdef"), I(3), I(10)}, "cdef"}, {MidText, {T("abc"), I(4), I(1)}, ""},
        {MidText, {T("abc"), I(0), I(2)}, ""},   {MidText, {T("abc"), I(2), I(0)}, ""},
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
        {TrimSpaces, {T("  a b  ")}, "a b"},
        {TrimSpaces, {T("\xA1\xA1 a\xA1\xA1" "b \xA1\xA1")}, "a\xA1\xA1" "b"},
        {TrimSpaces, {T(" \xA1\xA1 ")}, ""},   {TrimSpaces, {T("a \xA1")}, "a \xA1"},
        {TrimSpaces, {T("\xA1\xA2 ")}, "\xA1\xA2"},
        {ToUpperCase, {T("abXY1z\x81\x61" "a")}, "ABXY1Z\x81\x61" "A"},
        {CharFromCode, {I(321)}, "A"},  {CharFromCode, {I(-1)}, "\xFF"},  {CharFromCode, {I(256)}, ""},
        {SplitText, {T("a,,b,"), T(",")}, "[a][][b]"},   {SplitText, {T(",a")}, "[][a]"},
        {SplitText, {T("a,b,c"), kOmitted, I(2)}, "[a][b]"}, {SplitText, {T("a,b,c"), kOmitted, I(3)}, "[a][b][c]"},
        {SplitText, {T("a,b,c"), kOmitted, I(0)}, ""},   {SplitText, {T("a,b,c"), kOmitted, I(-3)}, ""},
        {SplitText, {T("")}, ""},                        {SplitText, {T("abc"), T("")}, "[abc]"},
        {SplitText, {T("a::b::"), T("::")}, "[a][b]"},   {SplitText, {T("\x81\x41" "Ax"), T("A")}, "[\x81\x41][x]"},
    }});
}

TEST(TextCommands, ArgumentsThatAreNotTextsReadAsEmpty) {
    for (const ValueCell& cell : {ValueCell::Text(nullptr), I(12), kOmitted,
                                  ValueCell::Raw(0x10, 0, type_word::kText | type_word::kAddressBit)}) {
        ExpectRows({{
            {TextLength, {cell}, "#0"}, {FindText, {cell, T("")}, "#-1"}, {FindText, {T("a"), cell}, "#1"},
            {TrimSpaces, {cell}, ""}, {ReplaceSubtext, {cell, T("a")}, ""}, {SplitText, {cell}, ""},
        }});
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
    EXPECT_EXIT(ReplaceIntoMoreThanFourGibibytes(), ::testing::ExitedWithCode(-1), "分配 -1 字节内存失败!");
}

}  // namespace
}  // namespace kx

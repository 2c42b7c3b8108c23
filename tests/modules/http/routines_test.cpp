// The routines as program code calls them: variables passed by reference, null variables
// read as empty, results on the runtime heap, and what is written back into the variables.
#include "routines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_runtime.h"
#include "program_values.h"
#include "text_var.h"

namespace http_module::testing {
namespace {

// Takes a result text: its bytes, then frees it. Checks the empty text is null.
std::string Take(Word text) {
    std::string bytes(TextOf(text));
    if (text) {
        EXPECT_FALSE(bytes.empty()) << "an empty result must be the null word";
    }
    FreeValue(&text);
    return bytes;
}

using Routines = kx::testing::ProgramRuntimeTest;

// Every text routine hands its variables on, leaves them as they were and gives a new text.
TEST_F(Routines, GiveNewTextsAndReadNullVariablesAsEmpty) {
    const std::size_t before = kx::testing::RuntimeHeapBlocks();
    {
        TextVar empty, line("content-type:  text/plain "), colon(":"), dashes("x; y; x"), delimiter("; ");
        TextVar headers("A: 1\r\nDate: Thu, 31 Dec 2026 20:30:15 GMT\r\n"), left("date:"), right("\r\n");
        TextVar marks("L1R L2R x"), l("l"), r("R");
        Word ab = NewBytes(std::vector<std::uint8_t>{'a', 'b'});
        const Word held = *line.ref();
        const std::pair<Word, const char*> rows[] = {
            {HeaderName(empty.ref()), ""},          {HeaderValue(empty.ref()), ""},
            {CapitalizeFirst(empty.ref()), ""},     {NormalizeHeaderNames(empty.ref()), ""},
            {CookieName(empty.ref()), ""},          {TextBefore(empty.ref(), colon.ref()), ""},
            {TextBetween(empty.ref(), colon.ref(), colon.ref()), ""}, {Base64Encode(empty.ref()), ""},
            {HeaderName(line.ref()), "content-type"}, {HeaderValue(line.ref()), "text/plain"},
            {NormalizeHeaderNames(line.ref()), "Content-Type:  text/plain "},
            {CapitalizeFirst(dashes.ref()), "X; y; x"},
            {RemoveDuplicateItems(dashes.ref(), delimiter.ref(), true), "x; y"},
            {TextBetween(headers.ref(), left.ref(), right.ref(), 0, true), " Thu, 31 Dec 2026 20:30:15 GMT"},
            {TextBetween(marks.ref(), l.ref(), r.ref(), 2, true), "2"},
            {TextBefore(marks.ref(), l.ref(), 2, true), "L1R "}, {TextBefore(marks.ref(), r.ref(), -1), "L1R L2"},
            {TextBefore(line.ref(), colon.ref()), "content-type"}, {Base64Encode(&ab), "YWI="},
        };
        for (const auto& [result, text] : rows) EXPECT_EQ(Take(result), text);
        EXPECT_EQ(*line.ref(), held);
        EXPECT_EQ(line.text(), "content-type:  text/plain ");
        Word noArray = 0;
        EXPECT_FALSE(HasCookieNamed(&noArray, empty.ref()));
        EXPECT_EQ(IndexOfText(&noArray, empty.ref()), -1);
        FreeValue(&ab);
    }
    EXPECT_EQ(kx::testing::RuntimeHeapBlocks(), before);
}

TEST_F(Routines, MergeCookiesWritesBothVariables) {
    const std::size_t before = kx::testing::RuntimeHeapBlocks();
    {
        TextVar oldCookies(" a=1; b=2;"), newCookies("b=3 ");
        EXPECT_EQ(Take(MergeCookies(oldCookies.ref(), newCookies.ref())), "b=3; a=1");
        EXPECT_EQ(oldCookies.text(), "b=3; a=1");
        EXPECT_EQ(newCookies.text(), "b=3");
        TextVar gone("a=1"), deleting("a=deleted");
        EXPECT_EQ(Take(MergeCookies(gone.ref(), deleting.ref())), "");
        EXPECT_EQ(*gone.ref(), 0u) << "the empty merge leaves a null variable";
    }
    EXPECT_EQ(kx::testing::RuntimeHeapBlocks(), before);
}

TEST_F(Routines, LookUpAndJoinArrays) {
    Word items = NewTextArray({"a=1", "b=2", ""});
    TextVar b("b"), bItem("b=2"), none;
    EXPECT_TRUE(HasCookieNamed(&items, b.ref()));
    EXPECT_EQ(IndexOfText(&items, bItem.ref()), 2);
    EXPECT_EQ(IndexOfText(&items, none.ref()), 3);
    FreeTextArray(&items);
    Word first = NewBytes(std::vector<std::uint8_t>{'a', 'b'}), second = NewBytes(std::vector<std::uint8_t>{0, 0});
    const Word parts[] = {0, first, second}, empties[] = {0, 0};
    Word joined = ConcatBytes(parts);
    const auto bytes = BytesOf(joined);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), (std::vector<std::uint8_t>{'a', 'b', 0, 0}));
    EXPECT_EQ(ConcatBytes(empties), 0u);
    for (Word* block : {&joined, &first, &second}) FreeValue(block);
}

}  // namespace
}  // namespace http_module::testing

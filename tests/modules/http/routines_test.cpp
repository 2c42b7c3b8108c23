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

TEST_F(Routines, ReadNullVariablesAsEmpty) {
    const std::size_t before = kx::testing::RuntimeHeapBlocks();
    TextVar empty, marker(":");
    EXPECT_EQ(Take(HeaderName(empty.ref())), "");
    EXPECT_EQ(Take(HeaderValue(empty.ref())), "");
    EXPECT_EQ(Take(CapitalizeFirst(empty.ref())), "");
    EXPECT_EQ(Take(NormalizeHeaderNames(empty.ref())), "");
    EXPECT_EQ(Take(CookieName(empty.ref())), "");
    EXPECT_EQ(Take(TextBefore(empty.ref(), marker.ref())), "");
    EXPECT_EQ(Take(TextBetween(empty.ref(), marker.ref(), marker.ref())), "");
    EXPECT_EQ(Take(Base64Encode(empty.ref())), "");
    Word noArray = 0;
    EXPECT_FALSE(HasCookieNamed(&noArray, empty.ref()));
    EXPECT_EQ(IndexOfText(&noArray, empty.ref()), -1);
    EXPECT_EQ(kx::testing::RuntimeHeapBlocks(), before + 1) << "only the marker text is held";
}

TEST_F(Routines, GiveNewTextsAndLeaveTheirArgumentsAlone) {
    TextVar line("content-type:  text/plain ");
    const Word held = *line.ref();
    EXPECT_EQ(Take(HeaderName(line.ref())), "content-type");
    EXPECT_EQ(Take(HeaderValue(line.ref())), "text/plain");
    EXPECT_EQ(Take(NormalizeHeaderNames(line.ref())), "Content-Type:  text/plain ");
    EXPECT_EQ(*line.ref(), held);
    EXPECT_EQ(line.text(), "content-type:  text/plain ");
}

TEST_F(Routines, MergeCookiesWritesBothVariables) {
    const std::size_t before = kx::testing::RuntimeHeapBlocks();
    {
        TextVar oldCookies(" a=1; b=2;"), newCookies("b=3 ");
        EXPECT_EQ(Take(MergeCookies(oldCookies.ref(), newCookies.ref())), "b=3; a=1");
        EXPECT_EQ(oldCookies.text(), "b=3; a=1");
        EXPECT_EQ(newCookies.text(), "b=3");
    }
    {
        TextVar oldCookies("a=1"), newCookies("a=deleted");
        EXPECT_EQ(Take(MergeCookies(oldCookies.ref(), newCookies.ref())), "");
        EXPECT_EQ(*oldCookies.ref(), 0u) << "the empty merge leaves a null variable";
    }
    EXPECT_EQ(kx::testing::RuntimeHeapBlocks(), before);
}

TEST_F(Routines, LookUpTextArrays) {
    Word items = NewTextArray({"a=1", "b=2", ""});
    TextVar b("b"), bItem("b=2"), none;
    EXPECT_TRUE(HasCookieNamed(&items, b.ref()));
    EXPECT_EQ(IndexOfText(&items, bItem.ref()), 2);
    EXPECT_EQ(IndexOfText(&items, none.ref()), 3);
    FreeTextArray(&items);
    EXPECT_EQ(items, 0u);
}

TEST_F(Routines, RemoveDuplicateItemsAndMarkers) {
    TextVar text("x; y; x"), delimiter("; ");
    EXPECT_EQ(Take(RemoveDuplicateItems(text.ref(), delimiter.ref(), true)), "x; y");
    TextVar headers("A: 1\r\nDate: Thu, 31 Dec 2026 20:30:15 GMT\r\n"), left("Date:"), right("\r\n");
    EXPECT_EQ(Take(TextBetween(headers.ref(), left.ref(), right.ref())), " Thu, 31 Dec 2026 20:30:15 GMT");
    TextVar cookieLine("Set-Cookie: a=1"), colon(": ");
    EXPECT_EQ(Take(TextBefore(cookieLine.ref(), colon.ref())), "Set-Cookie");
}

TEST_F(Routines, EncodeAndJoinByteArrays) {
    const std::vector<std::uint8_t> ab = {'a', 'b'}, zeros = {0, 0}, none;
    Word first = NewBytes(ab), second = NewBytes(zeros), empty = 0;
    EXPECT_EQ(Take(Base64Encode(&first)), "YWI=");
    const Word parts[] = {empty, first, second};
    Word joined = ConcatBytes(parts);
    const auto bytes = BytesOf(joined);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
              (std::vector<std::uint8_t>{'a', 'b', 0, 0}));
    const Word empties[] = {empty, empty};
    EXPECT_EQ(ConcatBytes(empties), 0u);
    FreeValue(&joined);
    FreeValue(&first);
    FreeValue(&second);
}

}  // namespace
}  // namespace http_module::testing

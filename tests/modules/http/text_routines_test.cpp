// The header, cookie and marker routines, row by row, on the core library's text commands,
// which is what the module runs them on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_text_ops.h"
#include "cookie_text.h"
#include "header_text.h"
#include "marker_search.h"
#include "program_runtime.h"

namespace http_module::testing {
namespace {

class TextRoutines : public kx::testing::ProgramRuntimeTest {
protected:
    CommandTextOps ops;
};

using Pairs = std::vector<std::pair<const char*, const char*>>;

TEST_F(TextRoutines, HeaderNameAndValue) {
    struct Row { const char *line, *name, *value; };
    const Row rows[] = {
        {"Content-Type: text/html", "Content-Type", "text/html"},  {"no colon at all", "", ""},
        {":  the rest ", "", "the rest"},  {"  X-A  :\t1 ", "X-A", "\t1"},  {"Empty:", "Empty", ""},
        {"Referer: http://h:80/a?t=12:30", "Referer", "http://h:80/a?t=12:30"},
        {"\xA1\xA1\xC3\xFB\xB3\xC6\xA1\xA1: \xA1\xA1\xD6\xB5", "\xC3\xFB\xB3\xC6", "\xD6\xB5"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HeaderName(ops, row.line), row.name) << row.line;
        EXPECT_EQ(HeaderValue(ops, row.line), row.value) << row.line;
    }
}

TEST_F(TextRoutines, CapitalizeAndNormalizeHeaderNames) {
    const Pairs words = {{"accept", "Accept"}, {"", ""}, {"ACCEPT", "ACCEPT"}, {"xY", "XY"},
                         {"1abc", "1abc"}, {"\xC3\xFB\xD7\xD6", "\xC3\xFB\xD7\xD6"}, {" lead", " lead"}};
    for (const auto& [word, expected] : words) EXPECT_EQ(CapitalizeFirst(ops, word), expected) << word;
    const Pairs headers = {
        {"X-requested-with:1", "X-Requested-With:1"},  {"no colon\r\nnor here", ""},
        // The empty line the default headers leave in front vanishes.
        {"\r\naccept: */*\r\nreferer: http://h/", "Accept: */*\r\nReferer: http://h/"},
        {"one: a\r\nbroken\r\ntwo: b\r\n", "One: a\r\nTwo: b"},
        // A name ending in "-" keeps it: the dash moves into the rest of the line.
        {"x-: v", "X-: v"},  {"a--b: 1", "A--B: 1"},  {" accept : v", " accept : v"},
        {"user-agent:Mozilla/4.0 (x-y: z)", "User-Agent:Mozilla/4.0 (x-y: z)"},
    };
    for (const auto& [text, expected] : headers) EXPECT_EQ(NormalizeHeaderNames(ops, text), expected) << text;
}

TEST_F(TextRoutines, CookieNames) {
    const Pairs names = {{"a=1", "a"}, {" sid = x ", "sid"}, {"flag", "flag"}, {"=v", ""}, {"a=b=c", "a"}};
    for (const auto& [item, name] : names) EXPECT_EQ(CookieName(ops, item), name) << item;
    const std::vector<std::string> items = {"a=1", " b =2", "c"};
    EXPECT_TRUE(HasCookieNamed(ops, items, "b"));
    EXPECT_TRUE(HasCookieNamed(ops, items, "c"));
    EXPECT_FALSE(HasCookieNamed(ops, items, "B"));
    EXPECT_FALSE(HasCookieNamed(ops, items, "a=1"));
}

TEST_F(TextRoutines, RemoveDuplicateItems) {
    struct Row { const char *text, *delimiter; bool atDelimiter; const char* expected; };
    const Row rows[] = {
        {"a; b; a; c; b", "; ", true, "a; b; c"},  {"a,a,,b,,", ",", true, "a,,b"},
        {"", "; ", true, ""},  {"x\r\ny\nx\rz", "\r\n", false, "x\r\ny\r\nz"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(RemoveDuplicateItems(ops, row.text, row.delimiter, row.atDelimiter), row.expected) << row.text;
    }
}

TEST_F(TextRoutines, MergeCookies) {
    struct Row { const char *oldCookies, *newCookies, *merged, *newTrimmed; };
    const Row rows[] = {
        {"a=1; b=2", "b=3", "b=3; a=1", "b=3"},  {"a=1", "a=deleted", "", "a=deleted"},  {"", "", "", ""},
        {"a=1", "b=2; c=deleted", "b=2; a=1", "b=2; c=deleted"},  {"a=1; a=1", "", "a=1", ""},
        {"SID=1", "sid=2", "sid=2; SID=1", "sid=2"},  {"a=1;", " b=2;", "b=2; a=1", "b=2; "},
        {" a=1 ", "", "a=1", ""},  {"a=1; x=deleted", "", "a=1", ""},  {"", "n=1; n=1", "n=1", "n=1; n=1"},
        {"a=1; b=2; c=3", "c=4; a=deleted", "c=4; b=2", "c=4; a=deleted"},
    };
    for (const Row& row : rows) {
        const MergedCookies result = MergeCookies(ops, row.oldCookies, row.newCookies);
        EXPECT_EQ(result.merged, row.merged) << row.oldCookies << " + " << row.newCookies;
        EXPECT_EQ(result.newTrimmed, row.newTrimmed) << row.oldCookies << " + " << row.newCookies;
    }
}

// TextBefore when `right` is null, TextBetween otherwise.
TEST_F(TextRoutines, TextBeforeAndBetweenMarkers) {
    struct Row { const char *text, *left, *right; std::int32_t start; bool ignoreCase; const char* expected; };
    const char* headers = "HTTP/1.1 200 OK\r\nServer: t\r\nDate: Sat, 05 Dec 2026 06:00:00 GMT\r\nX: y\r\n";
    const Row rows[] = {
        {"Set-Cookie: a=1; path=/", ": ", nullptr, 0, false, "Set-Cookie"},  {"no marker", "#", nullptr, 0, false, ""},
        {"a.b.c", ".", nullptr, 3, false, "a.b"},  {"a.b.c", ".", nullptr, -1, false, "a.b"},
        {"a.b.c", ".", nullptr, -2, false, "a"},
        {"aXbxc", "x", nullptr, 0, false, "aXb"},  {"aXbxc", "x", nullptr, 0, true, "a"},
        // The second byte of a character is never taken for the marker.
        {"\xC3\x2E\x2E", ".", nullptr, 0, false, "\xC3\x2E"},
        {headers, "Date:", "\r\n", 0, false, " Sat, 05 Dec 2026 06:00:00 GMT"},
        {"Server: t\r\nDate: Sat, 05 Dec 2026 06:00:00 GMT", "Date:", "\r\n", 0, false, ""},
        {"date: Sat\r\n", "Date:", "\r\n", 0, false, ""},  {"date: Sat\r\n", "Date:", "\r\n", 0, true, " Sat"},
        {"name=\"v1\" other=\"v2\"", "other=#引号", "#引号", 0, false, "v2"},
        {"xLyRzLwR", "L", "R", 4, false, "w"},  {"xLyRzLwR", "L", "R", -5, false, "y"},  {"LR", "L", "R", 0, false, ""},
        // The right marker is sought only behind the left one.
        {"R L x R", "L", "R", 0, false, " x "},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.right ? TextBetween(ops, row.text, row.left, row.right, row.start, row.ignoreCase)
                            : TextBefore(ops, row.text, row.left, row.start, row.ignoreCase),
                  row.expected)
            << row.text << " start " << row.start;
    }
}

}  // namespace
}  // namespace http_module::testing

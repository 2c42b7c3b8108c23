// The header, cookie and marker routines, row by row, run on the plain operations and on
// the core library's commands: both must give every row's answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cookie_text.h"
#include "header_text.h"
#include "marker_search.h"
#include "ops_under_test.h"

namespace http_module::testing {
namespace {

using TextRoutines = OpsTest;

TEST_F(TextRoutines, HeaderNameAndValue) {
    struct Row {
        const char* line;
        const char* name;
        const char* value;
    };
    const Row rows[] = {
        {"Content-Type: text/html", "Content-Type", "text/html"},
        {"no colon at all", "", ""},
        {"", "", ""},
        {":  the rest ", "", "the rest"},
        {"Referer: http://h:80/a?t=12:30", "Referer", "http://h:80/a?t=12:30"},
        {"  X-A  :\t1 ", "X-A", "\t1"},
        {"\xA1\xA1\xC3\xFB\xB3\xC6\xA1\xA1: \xA1\xA1\xD6\xB5", "\xC3\xFB\xB3\xC6", "\xD6\xB5"},
        {"Empty:", "Empty", ""},
    };
    ForEachOps([&](TextOps& ops) {
        for (const Row& row : rows) {
            EXPECT_EQ(HeaderName(ops, row.line), row.name) << row.line;
            EXPECT_EQ(HeaderValue(ops, row.line), row.value) << row.line;
        }
    });
}

TEST_F(TextRoutines, CapitalizeFirst) {
    const std::pair<const char*, const char*> rows[] = {
        {"accept", "Accept"}, {"a", "A"},       {"", ""},         {"ACCEPT", "ACCEPT"},
        {"xY", "XY"},         {"1abc", "1abc"}, {"\xC3\xFB\xD7\xD6", "\xC3\xFB\xD7\xD6"}, {" lead", " lead"},
    };
    ForEachOps([&](TextOps& ops) {
        for (const auto& [word, expected] : rows) EXPECT_EQ(CapitalizeFirst(ops, word), expected) << word;
    });
}

TEST_F(TextRoutines, NormalizeHeaderNames) {
    const std::pair<const char*, const char*> rows[] = {
        {"content-type: x", "Content-Type: x"},
        {"X-requested-with:1", "X-Requested-With:1"},
        {"ACCEPT: a", "ACCEPT: a"},
        {"", ""},
        {"no colon\r\nnor here", ""},
        // The empty line the default headers leave in front vanishes.
        {"\r\naccept: */*\r\nreferer: http://h/", "Accept: */*\r\nReferer: http://h/"},
        {"one: a\r\nbroken\r\ntwo: b\r\n", "One: a\r\nTwo: b"},
        // A name ending in "-" keeps it: the dash moves into the rest of the line.
        {"x-: v", "X-: v"},
        {"a--b: 1", "A--B: 1"},
        {" accept : v", " accept : v"},
        {"user-agent:Mozilla/4.0 (x-y: z)", "User-Agent:Mozilla/4.0 (x-y: z)"},
    };
    ForEachOps([&](TextOps& ops) {
        for (const auto& [text, expected] : rows) EXPECT_EQ(NormalizeHeaderNames(ops, text), expected) << text;
    });
}

TEST_F(TextRoutines, CookieNamesAndLookups) {
    const std::pair<const char*, const char*> names[] = {
        {"a=1", "a"}, {" sid = x ", "sid"}, {"flag", "flag"}, {"=v", ""}, {"a=b=c", "a"}, {"", ""},
    };
    const std::vector<std::string> items = {"a=1", " b =2", "c", "a=9"};
    ForEachOps([&](TextOps& ops) {
        for (const auto& [item, name] : names) EXPECT_EQ(CookieName(ops, item), name) << item;
        EXPECT_TRUE(HasCookieNamed(ops, items, "b"));
        EXPECT_TRUE(HasCookieNamed(ops, items, "c"));
        EXPECT_FALSE(HasCookieNamed(ops, items, "B"));
        EXPECT_FALSE(HasCookieNamed(ops, items, "a=1"));
        EXPECT_FALSE(HasCookieNamed(ops, {}, ""));
    });
    EXPECT_EQ(IndexOfText(items, "a=9"), 4);
    EXPECT_EQ(IndexOfText({"x", "y", "x"}, "x"), 1);
    EXPECT_EQ(IndexOfText({"x", "y"}, "X"), -1);
    EXPECT_EQ(IndexOfText({"x", ""}, ""), 2);
    EXPECT_EQ(IndexOfText({}, ""), -1);
}

TEST_F(TextRoutines, RemoveDuplicateItems) {
    struct Row {
        const char* text;
        const char* delimiter;
        bool atDelimiter;
        const char* expected;
    };
    const Row rows[] = {
        {"a; b; a; c; b", "; ", true, "a; b; c"},
        {"", "; ", true, ""},
        {"a,a,,b,,", ",", true, "a,,b"},
        {"same", "; ", true, "same"},
        {"x\r\ny\nx\rz", "\r\n", false, "x\r\ny\r\nz"},
    };
    ForEachOps([&](TextOps& ops) {
        for (const Row& row : rows) {
            EXPECT_EQ(RemoveDuplicateItems(ops, row.text, row.delimiter, row.atDelimiter), row.expected)
                << row.text;
        }
    });
}

TEST_F(TextRoutines, MergeCookies) {
    struct Row {
        const char* oldCookies;
        const char* newCookies;
        const char* merged;
        const char* newTrimmed;
    };
    const Row rows[] = {
        {"a=1; b=2", "b=3", "b=3; a=1", "b=3"},
        {"a=1", "a=deleted", "", "a=deleted"},
        {"", "", "", ""},
        {"a=1; a=1", "", "a=1", ""},
        {"SID=1", "sid=2", "sid=2; SID=1", "sid=2"},
        {"a=1;", " b=2;", "b=2; a=1", "b=2; "},
        {" a=1 ", "", "a=1", ""},
        {"a=1", "b=2; c=deleted", "b=2; a=1", "b=2; c=deleted"},
        {"a=1; x=deleted", "", "a=1", ""},
        {"", "n=1; n=1", "n=1", "n=1; n=1"},
        {"a=1; b=2; c=3", "c=4; a=deleted", "c=4; b=2", "c=4; a=deleted"},
    };
    ForEachOps([&](TextOps& ops) {
        for (const Row& row : rows) {
            const MergedCookies result = MergeCookies(ops, row.oldCookies, row.newCookies);
            EXPECT_EQ(result.merged, row.merged) << row.oldCookies << " + " << row.newCookies;
            EXPECT_EQ(result.newTrimmed, row.newTrimmed) << row.oldCookies << " + " << row.newCookies;
        }
    });
}

TEST_F(TextRoutines, TextBefore) {
    struct Row {
        const char* text;
        const char* marker;
        std::int32_t start;
        bool ignoreCase;
        const char* expected;
    };
    const Row rows[] = {
        {"Set-Cookie: a=1; path=/", ": ", 0, false, "Set-Cookie"},
        {"no marker here", "#", 0, false, ""},
        {"", ":", 0, false, ""},
        {"a.b.c", ".", 3, false, "a.b"},
        {"a.b.c", ".", -1, false, "a.b"},
        {"a.b.c", ".", -2, false, "a"},
        {"aXbxc", "x", 0, false, "aXb"},
        {"aXbxc", "x", 0, true, "a"},
        {"\xC3\xFB.\xB3\xC6", ".", 0, false, "\xC3\xFB"},
        // The second byte of a character is never taken for the marker.
        {"\xC3\x2E\x2E", ".", 0, false, "\xC3\x2E"},
    };
    ForEachOps([&](TextOps& ops) {
        for (const Row& row : rows) {
            EXPECT_EQ(TextBefore(ops, row.text, row.marker, row.start, row.ignoreCase), row.expected)
                << row.text << " start " << row.start;
        }
    });
}

TEST_F(TextRoutines, TextBetween) {
    struct Row {
        const char* text;
        const char* left;
        const char* right;
        std::int32_t start;
        bool ignoreCase;
        const char* expected;
    };
    const char* headers = "HTTP/1.1 200 OK\r\nServer: t\r\nDate: Sat, 05 Dec 2026 06:00:00 GMT\r\nX: y\r\n";
    const Row rows[] = {
        {headers, "Date:", "\r\n", 0, false, " Sat, 05 Dec 2026 06:00:00 GMT"},
        {"Server: t\r\nDate: Sat, 05 Dec 2026 06:00:00 GMT", "Date:", "\r\n", 0, false, ""},
        {"date: Sat\r\n", "Date:", "\r\n", 0, false, ""},
        {"date: Sat\r\n", "Date:", "\r\n", 0, true, " Sat"},
        {"no left\r\n", "Date:", "\r\n", 0, false, ""},
        {"Set-Cookie: a=1; path=/", "Set-Cookie:", ";", 0, false, " a=1"},
        {"name=\"v1\" other=\"v2\"", "other=#引号", "#引号", 0, false, "v2"},
        {"xLyRzLwR", "L", "R", 4, false, "w"},
        {"xLyRzLwR", "L", "R", -5, false, "y"},
        {"LR", "L", "R", 0, false, ""},
        // The right marker is sought only behind the left one.
        {"R L x R", "L", "R", 0, false, " x "},
    };
    ForEachOps([&](TextOps& ops) {
        for (const Row& row : rows) {
            EXPECT_EQ(TextBetween(ops, row.text, row.left, row.right, row.start, row.ignoreCase),
                      row.expected)
                << row.text;
        }
    });
}

}  // namespace
}  // namespace http_module::testing

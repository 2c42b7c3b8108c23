// The text decisions of a web request, row by row, on the plain operations and on the core
// library's commands.
#include "request_text.h"

#include <gtest/gtest.h>

#include "ops_under_test.h"

namespace http_module::testing {
namespace {

constexpr const char* kAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

using RequestText = OpsTest;

TEST(RequestMethod, OutOfRangeIndicesSendGet) {
    const std::pair<std::int32_t, const char*> rows[] = {
        {0, "GET"},     {1, "POST"},  {2, "HEAD"},  {3, "PUT"},  {4, "OPTIONS"},
        {5, "DELETE"},  {6, "TRACE"}, {7, "CONNECT"}, {8, "GET"}, {-1, "GET"}, {100, "GET"},
    };
    for (const auto& [index, text] : rows) EXPECT_STREQ(MethodText(index), text) << index;
}

TEST(RequestTimeout, OneValueForAllPhases) {
    EXPECT_EQ(TimeoutMilliseconds(0), 15000);
    EXPECT_EQ(TimeoutMilliseconds(-5), 15000);
    EXPECT_EQ(TimeoutMilliseconds(3), 3000);
    EXPECT_EQ(TimeoutMilliseconds(-1), std::nullopt);
    EXPECT_EQ(TimeoutMilliseconds(2147483), 2147483000);
    EXPECT_EQ(TimeoutMilliseconds(3000000), 2147483647) << "no wrap into a negative time-out";
}

TEST_F(RequestText, DefaultHeadersOnlyWhereTheirProbeIsMissing) {
    const std::string all = std::string("\r\nAccept: */*\r\nReferer: http://h/\r\nAccept-Language: zh-cn\r\n") + kAgent;
    struct Row {
        const char* headers;
        std::int32_t method;
        std::string expected;
    };
    const Row rows[] = {
        {"", 2, all},
        {"", 1, all + "\r\nContent-Type: application/x-www-form-urlencoded"},
        {"content-TYPE: text/plain", 1, std::string("content-TYPE: text/plain") + all},
        {"accept: text/html", 0,
         std::string("accept: text/html\r\nReferer: http://h/\r\nAccept-Language: zh-cn\r\n") + kAgent},
        // A probe anywhere, even inside a value, suppresses its line.
        {"X-Note: user-agent: none; referer: none; accept-language: x; accept: y", 0,
         "X-Note: user-agent: none; referer: none; accept-language: x; accept: y"},
    };
    ForEachOps([&](TextOps& ops) {
        for (const Row& row : rows) {
            EXPECT_EQ(WithDefaultHeaders(ops, row.headers, "http://h/", row.method), row.expected)
                << row.headers;
        }
    });
}

TEST_F(RequestText, CookiePrefixRemovedWithTheSpaceKept) {
    ForEachOps([&](TextOps& ops) {
        EXPECT_EQ(CookieTextToSend(ops, "Cookie: a=1; b=2"), " a=1; b=2");
        EXPECT_EQ(CookieTextToSend(ops, "cookie:a=1"), "a=1");
        EXPECT_EQ(CookieTextToSend(ops, "a=1"), "a=1");
        EXPECT_EQ(CookieTextToSend(ops, ""), "");
    });
}

TEST_F(RequestText, HeaderLinesToSet) {
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    ForEachOps([&](TextOps& ops) {
        EXPECT_EQ(HeadersToSet(ops, ""), (Pairs{{"", ""}})) << "the one empty header the object refuses";
        EXPECT_EQ(HeadersToSet(ops, "X-One: 1"), (Pairs{{"X-One", "1"}}));
        EXPECT_EQ(HeadersToSet(ops, "A: 1\r\n\r\nConnection: keep-alive\r\nConnection: close\r\n"
                                    "connection: keep-alive\r\nB: http://x:1/"),
                  (Pairs{{"A", "1"}, {"Connection", "close"}, {"connection", "keep-alive"}, {"B", "http://x:1/"}}));
    });
}

TEST_F(RequestText, CookiesSetByAResponse) {
    const std::pair<const char*, const char*> rows[] = {
        {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nX: y\r\n", "a=1; b=2"},
        {"HTTP/1.1 200 OK\r\nServer: t\r\n", ""},
        {"", ""},
        {"Set-Cookie: s=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT\r\n", "s=deleted"},
        // Only the exact name followed by ": " counts.
        {"set-cookie: lower=1\r\nSet-Cookie:nospace=1\r\nSet-Cookie2: x=1\r\n", ""},
        {"Set-Cookie:  padded=1 \r\n", "padded=1"},
    };
    ForEachOps([&](TextOps& ops) {
        for (const auto& [headers, expected] : rows) EXPECT_EQ(CookiesSetBy(ops, headers), expected) << headers;
    });
}

}  // namespace
}  // namespace http_module::testing

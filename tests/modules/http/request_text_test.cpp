// The text decisions of a web request, row by row, on the core library's text commands.
#include "request_text.h"

#include <gtest/gtest.h>

#include "command_text_ops.h"
#include "program_runtime.h"

namespace http_module::testing {
namespace {

constexpr const char* kAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

class RequestText : public kx::testing::ProgramRuntimeTest {
protected:
    CommandTextOps ops;
};

TEST(RequestMethod, OutOfRangeIndicesSendGet) {
    const std::pair<std::int32_t, const char*> rows[] = {
        {0, "GET"},     {1, "POST"},  {2, "HEAD"},  {3, "PUT"},  {4, "OPTIONS"},
        {5, "DELETE"},  {6, "TRACE"}, {7, "CONNECT"}, {8, "GET"}, {-1, "GET"},
    };
    for (const auto& [index, text] : rows) EXPECT_STREQ(MethodText(index), text) << index;
}

TEST(RequestTimeout, OneValueForAllPhases) {
    const std::pair<std::int32_t, std::optional<std::int32_t>> rows[] = {
        {0, 15000}, {-5, 15000}, {3, 3000}, {-1, std::nullopt}, {2147483, 2147483000},
        {3000000, 2147483647},  // no wrap into a negative time-out
    };
    for (const auto& [seconds, milliseconds] : rows) EXPECT_EQ(TimeoutMilliseconds(seconds), milliseconds) << seconds;
}

TEST_F(RequestText, DefaultHeadersOnlyWhereTheirProbeIsMissing) {
    const std::string all = std::string("\r\nAccept: */*\r\nReferer: http://h/\r\nAccept-Language: zh-cn\r\n") + kAgent;
    struct Row { const char* headers; std::int32_t method; std::string expected; };
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
    for (const Row& row : rows) {
        EXPECT_EQ(WithDefaultHeaders(ops, row.headers, "http://h/", row.method), row.expected) << row.headers;
    }
}

TEST_F(RequestText, CookieTextsToSendAndSetByAResponse) {
    const std::pair<const char*, const char*> sent[] = {
        {"Cookie: a=1; b=2", " a=1; b=2"}, {"cookie:a=1", "a=1"}, {"a=1", "a=1"}, {"", ""}};
    for (const auto& [cookies, expected] : sent) EXPECT_EQ(CookieTextToSend(ops, cookies), expected) << cookies;
    const std::pair<const char*, const char*> set[] = {
        {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nX: y\r\n", "a=1; b=2"},
        {"HTTP/1.1 200 OK\r\nServer: t\r\n", ""},
        {"Set-Cookie: s=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT\r\n", "s=deleted"},
        // Only the exact name followed by ": " counts.
        {"set-cookie: lower=1\r\nSet-Cookie:nospace=1\r\nSet-Cookie2: x=1\r\n", ""},
        {"Set-Cookie:  padded=1 \r\n", "padded=1"},
    };
    for (const auto& [headers, expected] : set) EXPECT_EQ(CookiesSetBy(ops, headers), expected) << headers;
}

TEST_F(RequestText, HeaderLinesToSet) {
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(HeadersToSet(ops, ""), (Pairs{{"", ""}})) << "the one empty header the object refuses";
    EXPECT_EQ(HeadersToSet(ops, "A: 1\r\n\r\nConnection: keep-alive\r\nConnection: close\r\n"
                                "connection: keep-alive\r\nB: http://x:1/"),
              (Pairs{{"A", "1"}, {"Connection", "close"}, {"connection", "keep-alive"}, {"B", "http://x:1/"}}));
}

}  // namespace
}  // namespace http_module::testing

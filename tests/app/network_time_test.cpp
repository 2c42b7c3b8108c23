// The network time: HTTP dates through the system's parser and eight hours on, the Date:
// header of a HEAD request to the loopback server, and the fallback on every failure.
#include "network_time_fetch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "fake_clock.h"
#include "kx/program_calls.h"
#include "loopback_http_server.h"
#include "program_runtime.h"
#include "program_values.h"

namespace clock_app {
namespace {

using http_module::FreeValue;
using http_module::NewText;
using http_module::TextOf;
using kx::Word;
using kx::testing::LoopbackHttpServer;

constexpr const char* kFallbackText = "100年1月1日";

// The date-time as the program shows it.
std::string Shown(double time) {
    Word text = kx::program::CallCore(kx::image::CoreCommand::kToText, {kx::ValueCell::DateTime(time)}).low();
    std::string shown(TextOf(text));
    FreeValue(&text);
    return shown;
}

kx::testing::ScriptedResponse Dated(std::vector<std::string> headerLines) {
    return {.statusLine = "HTTP/1.1 200 OK", .headerLines = std::move(headerLines), .body = "x"};
}

class NetworkTime : public kx::testing::ProgramRuntimeTest {
protected:
    LoopbackHttpServer server_;
};

// Eight hours on across days, months and years; a two-digit year lies within 50 years of the
// year the program's clock reads.
TEST_F(NetworkTime, HttpDatesBecomeUtcPlusEight) {
    struct Row { const char* date; const char* shown; int clockYear = 2026; };
    const Row rows[] = {
        {" Sat, 05 Dec 2026 06:00:00 GMT", "2026年12月5日14时"},
        {" Thu, 31 Dec 2026 20:30:15 GMT", "2027年1月1日4时30分15秒"},
        {" Tue, 28 Feb 2028 23:59:59 GMT", "2028年2月29日7时59分59秒"},
        {" Sunday, 06-Nov-94 08:49:37 GMT", "1994年11月6日16时49分37秒"},
        {" Sun Nov  6 08:49:37 1994", "1994年11月6日16时49分37秒"},
        {"Sat, 15-Apr-17 21:01:22 GMT", "2117年4月16日5时1分22秒", 2090},
        {" Wed, 31 Dec 2025 23:59:60 GMT", "2026年1月1日7时59分59秒"},
        {" Mon, 01 Jan 1601 00:00:00 GMT", "1601年1月1日8时"},
        {" Thu, 30 Dec 9999 16:00:00 GMT", "9999年12月31日"},
        // What is no date (the reader's table has the rest) gives the fallback, 1 January 100.
        {"", kFallbackText},
        // The system's parser fills in the current time before reading; none of it may stay.
        {" Sat, 05 Dec 2026", kFallbackText},
        {" Sun, 06 Nov 1994 08:49:37 +0200", kFallbackText},
    };
    for (const Row& row : rows) {
        kx::testing::FakeClock clock(kx::commands::LocalTime{row.clockYear, 1, 1, 0, 0, 0});
        Word text = NewText(row.date);
        EXPECT_EQ(Shown(HttpDateToDateTime(&text)), row.shown) << row.date;
        EXPECT_EQ(std::string(TextOf(text)), row.date) << "the date text is left alone";
        FreeValue(&text);
    }
}

// The Date: header of a HEAD request to the given URL, which stays as it was; the fallback
// without a usable one or without a server.
TEST_F(NetworkTime, ReadsTheDateHeaderOfAHeadRequest) {
    struct Row { const char* name; std::vector<std::string> headerLines; const char* shown; bool refused = false; };
    const Row rows[] = {
        {"a Date header", {"Server: t", "Date: Thu, 31 Dec 2026 20:30:15 GMT", "X: y"}, "2027年1月1日4时30分15秒"},
        {"no Date header", {"Server: t"}, kFallbackText},
        {"the marker is found only as written", {"date: Thu, 31 Dec 2026 20:30:15 GMT"}, kFallbackText},
        {"no date in it", {"Date: yesterday"}, kFallbackText},
        {"no server", {}, kFallbackText, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackHttpServer server;
        server.Script({Dated(row.headerLines)});
        const std::string url = row.refused
            ? "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::RefusingPort()) + "/"
            : server.Url("/");
        Word urlWord = NewText(url);
        EXPECT_EQ(Shown(FetchNetworkTime(&urlWord, true)), row.shown);
        EXPECT_EQ(std::string(TextOf(urlWord)), url) << "a given URL stays";
        FreeValue(&urlWord);
        if (row.refused) continue;
        ASSERT_EQ(server.Requests().size(), 1u);
        EXPECT_EQ(server.Requests()[0].requestLine, "HEAD / HTTP/1.1");
    }
}

// The loopback server answers as the proxy for the default host. Wine's request object reads
// http_proxy from the copy of the environment its C runtime took at start; changing that copy
// reaches it, SetEnvironmentVariable alone does not.
TEST_F(NetworkTime, AnOmittedUrlBecomesTheDefaultAskedWithTheDefaultHeaders) {
    using PutEnv = int(__cdecl*)(const char*, const char*);
    const auto putEnv = reinterpret_cast<PutEnv>(reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryA("ucrtbase.dll"), "_putenv_s")));
    ASSERT_NE(putEnv, nullptr);
    ASSERT_EQ(putEnv("http_proxy", ("http://" + server_.HostAndPort()).c_str()), 0);
    server_.Script({Dated({"Date: Sat, 05 Dec 2026 06:00:00 GMT"})});
    Word url = NewText("replaced");
    const double time = FetchNetworkTime(&url, false);
    putEnv("http_proxy", "");
    EXPECT_STREQ(kx::FromWord<const char*>(url), kDefaultTimeUrl);
    FreeValue(&url);
    EXPECT_EQ(Shown(time), "2026年12月5日14时");
    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "HEAD");
    // Wine's request object names the default port to a proxy; both forms mean the same page.
    EXPECT_TRUE(requests[0].target == "http://www.baidu.com/" || requests[0].target == "http://www.baidu.com:80/")
        << requests[0].target;
    std::vector<std::string> names;
    for (const auto& [name, value] : requests[0].headers) {
        if (name == "Accept" || name == "Referer" || name == "Accept-Language" || name == "User-Agent") {
            names.push_back(name);
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Accept", "Referer", "Accept-Language", "User-Agent"}));
    EXPECT_EQ(*requests[0].Header("Referer"), "http://www.baidu.com/");
    EXPECT_EQ(*requests[0].Header("Accept-Language"), "zh-cn");
}

// The system keeps a few blocks of its own on first uses; a block not given back would come
// once per fetch, so several fetches are measured together.
TEST_F(NetworkTime, GivesBackEveryBlockItTakes) {
    constexpr std::size_t kRounds = 6;
    server_.Script({Dated({"Date: Sat, 05 Dec 2026 06:00:00 GMT"})});
    Word url = NewText(server_.Url("/"));
    FetchNetworkTime(&url, true);
    const std::size_t before = kx::testing::RuntimeHeapBlocks();
    for (std::size_t i = 0; i < kRounds; ++i) FetchNetworkTime(&url, true);
    EXPECT_LT(kx::testing::SettledRuntimeHeapBlocks(before + kRounds), before + kRounds);
    FreeValue(&url);
}

}  // namespace
}  // namespace clock_app

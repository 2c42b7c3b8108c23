// WebRequest against the loopback server: what arrives there, what comes back into the
// caller's variables, the failure rows, and that a request gives back every block it takes.
#include "web_request.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>

#include "com_calls.h"
#include "loopback_http_server.h"
#include "program_runtime.h"
#include "program_values.h"
#include "test_process.h"
#include "text_var.h"

namespace http_module::testing {
namespace {

using kx::testing::LoopbackHttpServer;
using kx::testing::RecordedRequest;

constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
const std::string kRefusedUrl = "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::RefusingPort()) + "/";

// One call of WebRequest: the text variables it is given live as long as the call, and the
// status code is always given.
struct Call {
    explicit Call(const std::string& url) {
        p.url = Text(url);
        p.statusCode = Give(&status);
    }
    Word* Text(std::string_view text = {}) { return texts.emplace_back(text).ref(); }
    static std::string Read(Given<Word*> variable) { return std::string(TextOf(*variable.value)); }
    std::string Run() {
        Word bytes = WebRequest(p);
        const auto span = BytesOf(bytes);
        std::string out(reinterpret_cast<const char*>(span.data()), span.size());
        FreeValue(&bytes);
        return out;
    }

    std::deque<TextVar> texts;
    WebRequestParameters p;
    std::int32_t status = -7;
};

using WebRequestTest = kx::testing::ProgramRuntimeTest;

TEST_F(WebRequestTest, HeadWithTheDefaultHeadersInOrder) {
    LoopbackHttpServer server;
    server.Script({{.statusLine = "HTTP/1.1 200 OK", .headerLines = {"Date: Sat, 05 Dec 2026 06:00:00 GMT"}, .body = ""}});
    const std::string url = server.Url("/");
    Call call(url);
    call.p.method = Give(2);
    call.p.headers = Give(call.Text());
    call.p.responseHeaders = Give(call.Text("old"));
    EXPECT_EQ(call.Run(), "");
    ASSERT_EQ(server.Requests().size(), 1u);
    const RecordedRequest request = server.Requests()[0];
    EXPECT_EQ(request.requestLine, "HEAD / HTTP/1.1");
    const std::pair<const char*, std::string> defaults[] = {
        {"Accept", "*/*"}, {"Referer", url}, {"Accept-Language", "zh-cn"}, {"User-Agent", kAgent}};
    auto next = request.headers.begin();
    for (const auto& [name, value] : defaults) {
        next = std::find_if(next, request.headers.end(), [&](const auto& header) { return header.first == name; });
        ASSERT_NE(next, request.headers.end()) << name << " missing or out of order";
        EXPECT_EQ(next->second, value);
    }
    EXPECT_EQ(Call::Read(call.p.headers),
              "Accept: */*\r\nReferer: " + url + "\r\nAccept-Language: zh-cn\r\nUser-Agent: " + kAgent);
    EXPECT_NE(Call::Read(call.p.responseHeaders).find("Date: Sat, 05 Dec 2026 06:00:00 GMT\r\n"), std::string::npos)
        << Call::Read(call.p.responseHeaders);
    EXPECT_EQ(call.status, 200);
}

TEST_F(WebRequestTest, PostsBytesThatAreNotTextAndReturnsTheBody) {
    LoopbackHttpServer server;
    const std::string answer("\0\x01\xFFok", 5);
    server.Script({{.statusLine = "HTTP/1.1 201 Created", .headerLines = {}, .body = answer}});
    const std::string sent("a\0b\0\0\xFE", 6);
    Word bytes = NewBytes({reinterpret_cast<const std::uint8_t*>(sent.data()), sent.size()});
    Call call(server.Url("/upload"));
    call.p.method = Give(1);
    call.p.postText = Give(call.Text("text that loses"));
    call.p.postBytes = Give(&bytes);
    call.p.headers = Give(call.Text("accept: text/x\r\nConnection: keep-alive"));
    EXPECT_EQ(call.Run(), answer);
    FreeValue(&bytes);
    ASSERT_EQ(server.Requests().size(), 1u);
    const RecordedRequest request = server.Requests()[0];
    EXPECT_EQ(request.requestLine, "POST /upload HTTP/1.1");
    // Wine sends one byte more than a safe array of lower bound 1 holds (it reads the upper
    // bound as the count), always one: what the array holds arrives, and that one byte after.
    EXPECT_EQ(request.body.substr(0, sent.size()), sent);
    EXPECT_EQ(request.body.size(), sent.size() + (kx::testing::RunningOnWine() ? 1 : 0));
    EXPECT_EQ(*request.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(*request.Header("Accept"), "text/x") << "the caller's accept line, renamed";
    EXPECT_EQ(request.HeaderCount("Accept"), 1u);
    for (const auto& [name, value] : request.headers) EXPECT_NE(value, "keep-alive") << name;
    EXPECT_EQ(call.status, 201);
}

// The caller's cookies are sent and merged with those the server set; without them, what
// the server set comes back as it is.
TEST_F(WebRequestTest, SendsCookiesAndReturnsWhatTheServerSet) {
    struct Row {
        const char* name;
        std::optional<std::string> cookies;
        std::vector<std::string> setCookieLines;
        const char* returned;
    };
    const Row rows[] = {
        {"merged with the caller's", "Cookie: a=1; b=2; d=5",
         {"Set-Cookie: b=3; path=/; HttpOnly", "Set-Cookie: c=4",
          "Set-Cookie: d=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT"},
         "b=3; c=4; a=1"},
        {"none given", std::nullopt, {"Set-Cookie: a=1; path=/", "Set-Cookie: b=2"}, "a=1; b=2"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackHttpServer server;
        server.Script({{.statusLine = "HTTP/1.1 200 OK", .headerLines = row.setCookieLines, .body = ""}});
        Call call(server.Url("/"));
        if (row.cookies) call.p.cookies = Give(call.Text(*row.cookies));
        call.p.returnedCookies = Give(call.Text("stale"));
        call.Run();
        ASSERT_EQ(server.Requests().size(), 1u);
        EXPECT_EQ(Call::Read(call.p.returnedCookies), row.returned);
        const std::string* sent = server.Requests()[0].Header("Cookie");
        if (!row.cookies) {
            EXPECT_EQ(sent, nullptr);
            continue;
        }
        ASSERT_NE(sent, nullptr);
        EXPECT_EQ(*sent, "a=1; b=2; d=5");
        EXPECT_EQ(Call::Read(call.p.cookies), row.returned);
    }
}

TEST_F(WebRequestTest, FollowsRedirectsUnlessTold) {
    for (const bool noRedirect : {false, true}) {
        LoopbackHttpServer server;
        server.Script({{.statusLine = "HTTP/1.1 302 Found", .headerLines = {"Location: /next"}, .body = ""},
                       {.statusLine = "HTTP/1.1 200 OK", .headerLines = {}, .body = "landed"}});
        Call call(server.Url("/start"));
        call.p.noRedirect = Give(noRedirect);
        EXPECT_EQ(call.Run(), noRedirect ? "" : "landed");
        EXPECT_EQ(call.status, noRedirect ? 302 : 200);
        ASSERT_EQ(server.Requests().size(), noRedirect ? 1u : 2u);
        EXPECT_EQ(server.Requests().back().requestLine, noRedirect ? "GET /start HTTP/1.1" : "GET /next HTTP/1.1");
    }
}

// The proxy and the origin are one loopback server. On Windows the request goes to it as a
// proxy (absolute target); Wine's Open drops the proxy set before it, so there the request
// goes to it directly. Either way the pre-built Proxy-Authorization header arrives, and only
// for credentials meant for a proxy that is set.
TEST_F(WebRequestTest, BuildsBasicProxyCredentialsOnlyForAProxy) {
    struct Row { const char* name; bool proxy; std::optional<std::int32_t> target; std::size_t authorizations; };
    const Row rows[] = {{"a proxy is set", true, std::nullopt, 1}, {"credential target 0", true, 0, 0},
                        {"no proxy", false, std::nullopt, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackHttpServer server;
        const std::string url = server.Url("/path");
        Call call(url);
        if (row.proxy) call.p.proxy = Give(call.Text(server.HostAndPort()));
        call.p.userName = Give(call.Text("user"));
        call.p.password = Give(call.Text("pass"));
        if (row.target) call.p.credentialTarget = Give(*row.target);
        call.Run();
        ASSERT_EQ(server.Requests().size(), 1u);
        const RecordedRequest request = server.Requests()[0];
        EXPECT_TRUE(request.target == "/path" || request.target == url) << request.requestLine;
        if (!row.proxy) {
            EXPECT_EQ(request.Header("Authorization"), nullptr) << "credentials for no proxy are dropped";
        }
        EXPECT_EQ(request.HeaderCount("Proxy-Authorization"), row.authorizations);
        if (row.authorizations) {
            EXPECT_EQ(*request.Header("Proxy-Authorization"), "Basic dXNlcjpwYXNz");
        }
    }
}

TEST_F(WebRequestTest, WorksOnALentObjectAndLeavesItToTheCaller) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    Word object = NewObjectCell();
    ASSERT_TRUE(CreateObject(object, "WinHttp.WinHttpRequest.5.1"));
    const Word interfaceWord = kx::FromWord<const Word*>(object)[0];
    LoopbackHttpServer server;
    Call call(server.Url("/lent"));
    call.p.requestObject = Give(&object);
    call.Run();
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].requestLine, "GET /lent HTTP/1.1");
    EXPECT_EQ(kx::FromWord<const Word*>(object)[0], interfaceWord) << "the caller keeps its object";
    FreeObjectCell(&object);
    CoUninitialize();
}

// A refused connection empties the outputs; the merge keeps the old cookies.
TEST_F(WebRequestTest, GivesBackEveryBlockItTakes) {
    LoopbackHttpServer server;
    server.Script({{.statusLine = "HTTP/1.1 200 OK",
                    .headerLines = {"Set-Cookie: a=1; path=/", "Date: Sat, 05 Dec 2026 06:00:00 GMT"},
                    .body = "body bytes"}});
    auto request = [&](const std::string& target, bool byteBody) {
        Word bytes = byteBody ? NewBytes(std::vector<std::uint8_t>{1, 0, 2}) : 0;
        Call call(target);
        call.p.method = Give(1);
        call.p.headers = Give(call.Text());
        call.p.responseHeaders = Give(call.Text("old headers"));
        call.p.cookies = Give(call.Text("b=2"));
        call.p.returnedCookies = Give(call.Text("old"));
        call.p.postText = Give(call.Text("x=1"));
        call.p.postBytes = Give(&bytes);
        call.p.timeoutSeconds = Give(2);
        const std::string body = call.Run();
        FreeValue(&bytes);
        if (target != kRefusedUrl) return;
        EXPECT_EQ(body + Call::Read(call.p.responseHeaders), "");
        EXPECT_EQ(call.status, 0);
        EXPECT_EQ(Call::Read(call.p.returnedCookies) + " " + Call::Read(call.p.cookies), "b=2 b=2");
    };
    // The system keeps a few blocks of its own on first uses (connections, threads); a block
    // this module failed to give back would come once per request, so several requests are
    // measured together. Under Wine a copy of a safe-array argument made during Send is never
    // destroyed (not the module's own: its body Variant is cleared): the copy and its bytes.
    constexpr std::size_t kRounds = 6;
    for (const bool byteBody : {false, true}) {
        request(server.Url("/"), byteBody);
        request(kRefusedUrl, byteBody);
    }
    for (const std::string& target : {server.Url("/"), kRefusedUrl}) {
        for (const bool byteBody : {false, true}) {
            const std::size_t limit = kx::testing::RuntimeHeapBlocks() + (byteBody ? 3 : 1) * kRounds;
            for (std::size_t i = 0; i < kRounds; ++i) request(target, byteBody);
            EXPECT_LT(kx::testing::SettledRuntimeHeapBlocks(limit), limit) << target << " byte body " << byteBody;
        }
    }
}

}  // namespace
}  // namespace http_module::testing

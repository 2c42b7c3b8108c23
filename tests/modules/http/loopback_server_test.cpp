// The loopback server itself, through a raw socket: it must record bytes exactly and answer
// as scripted, hold a connection silently when asked, and the refusing port must refuse.
#include "loopback_http_server.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <string>

namespace kx::testing {
namespace {

SOCKET Connect(std::uint16_t port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        const int error = WSAGetLastError();
        closesocket(s);
        WSASetLastError(error);
        return INVALID_SOCKET;
    }
    return s;
}

// Everything the server sends until it closes, or until `waitMs` passes in silence.
std::string ReceiveAll(SOCKET s, DWORD waitMs) {
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&waitMs), sizeof waitMs);
    std::string data;
    char buffer[1024];
    int got;
    while ((got = recv(s, buffer, sizeof buffer, 0)) > 0) data.append(buffer, static_cast<std::size_t>(got));
    return data;
}

// Sends `request` on a new connection to `port` and gives back the whole answer.
std::string Exchange(std::uint16_t port, const std::string& request) {
    SOCKET s = Connect(port);
    EXPECT_NE(s, INVALID_SOCKET) << WSAGetLastError() << " port " << port;
    EXPECT_EQ(send(s, request.data(), static_cast<int>(request.size()), 0), static_cast<int>(request.size()));
    const std::string answer = ReceiveAll(s, 5000);
    closesocket(s);
    return answer;
}

TEST(LoopbackHttpServer, RecordsExactlyWhatArrivesAndAnswersAsScripted) {
    LoopbackHttpServer server;
    server.Script({{.statusLine = "HTTP/1.1 302 Found",
                    .headerLines = {"Location: /next", "Set-Cookie: a=1; path=/"},
                    .body = "moved"}});
    const std::string body("a\0b\0\0c", 6);
    const std::string answer = Exchange(server.port(), "POST /form?x=1 HTTP/1.1\r\nHost: h\r\ncookie:  k=v \r\n"
                                                       "Content-Length: 6\r\nX-Last: 1\r\n\r\n" + body);
    EXPECT_EQ(answer.rfind("HTTP/1.1 302 Found\r\nLocation: /next\r\nSet-Cookie: a=1; path=/\r\n", 0), 0u)
        << answer;
    EXPECT_EQ(answer.find("Date:"), std::string::npos);
    EXPECT_EQ(answer.substr(answer.size() - 5), "moved");
    ASSERT_EQ(server.Requests().size(), 1u);
    const RecordedRequest recorded = server.Requests()[0];
    EXPECT_EQ(recorded.requestLine, "POST /form?x=1 HTTP/1.1");
    EXPECT_EQ(recorded.method, "POST");
    EXPECT_EQ(recorded.target, "/form?x=1");
    ASSERT_EQ(recorded.headers.size(), 4u);
    EXPECT_EQ(recorded.headers[1].first, "cookie");
    EXPECT_EQ(recorded.headers[3].first, "X-Last");
    ASSERT_NE(recorded.Header("Cookie"), nullptr);
    EXPECT_EQ(*recorded.Header("Cookie"), "k=v");
    EXPECT_EQ(recorded.body, body);
}

TEST(LoopbackHttpServer, RepeatsTheLastScriptedResponseAndSendsNoBodyToHead) {
    LoopbackHttpServer server;
    server.Script({{.statusLine = "HTTP/1.1 404 Not Found", .headerLines = {}, .body = "x"},
                   {.statusLine = "HTTP/1.1 200 OK", .headerLines = {}, .body = "body"}});
    std::string answers[3];
    for (std::string& answer : answers) answer = Exchange(server.port(), "HEAD / HTTP/1.1\r\nHost: h\r\n\r\n");
    EXPECT_EQ(answers[0].rfind("HTTP/1.1 404", 0), 0u);
    EXPECT_EQ(answers[1].rfind("HTTP/1.1 200", 0), 0u);
    EXPECT_EQ(answers[2].rfind("HTTP/1.1 200", 0), 0u);
    EXPECT_EQ(answers[2].substr(answers[2].size() - 4), "\r\n\r\n") << "HEAD gets no body";
}

TEST(LoopbackHttpServer, CanHoldAConnectionWithoutAnswering) {
    LoopbackHttpServer server(ServerMode::kAcceptAndNeverAnswer);
    SOCKET s = Connect(server.port());
    ASSERT_NE(s, INVALID_SOCKET) << WSAGetLastError() << " port " << server.port();
    const std::string request = "GET / HTTP/1.1\r\nHost: h\r\n\r\n";
    send(s, request.data(), static_cast<int>(request.size()), 0);
    ASSERT_TRUE(server.WaitForRequests(1, 5000));
    EXPECT_EQ(ReceiveAll(s, 300), "");
    EXPECT_EQ(WSAGetLastError(), WSAETIMEDOUT) << "the connection stays open, silent";
    closesocket(s);
}

TEST(LoopbackHttpServer, RefusingPortRefuses) {
    LoopbackHttpServer server;  // starts Winsock
    EXPECT_EQ(Connect(LoopbackHttpServer::RefusingPort()), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSAECONNREFUSED);
}

}  // namespace
}  // namespace kx::testing

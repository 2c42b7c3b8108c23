#include "loopback_http_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace kx::testing {

namespace {

// Winsock for the life of the test process.
void StartWinsockOnce() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

SOCKET ListenOnLoopback(std::uint16_t* port) {
    StartWinsockOnce();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ADD_FAILURE() << "loopback listener: socket error " << WSAGetLastError();
    }
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return s;
}

// Reads a request head (to the empty line) and the body its Content-Length announces.
// False when the peer closes or stays silent past the limit first.
bool ReadRequest(SOCKET connection, RecordedRequest* request) {
    std::string data;
    char buffer[4096];
    std::size_t headEnd;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        const int got = recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) return false;
        data.append(buffer, static_cast<std::size_t>(got));
    }
    const std::string head = data.substr(0, headEnd);
    std::string body = data.substr(headEnd + 4);

    std::size_t lineEnd = head.find("\r\n");
    request->requestLine = head.substr(0, lineEnd);
    const std::size_t firstBlank = request->requestLine.find(' ');
    const std::size_t secondBlank = request->requestLine.find(' ', firstBlank + 1);
    request->method = request->requestLine.substr(0, firstBlank);
    request->target = request->requestLine.substr(firstBlank + 1, secondBlank - firstBlank - 1);
    while (lineEnd != std::string::npos) {
        const std::size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string_view line =
            std::string_view(head).substr(start, lineEnd == std::string::npos ? std::string::npos
                                                                              : lineEnd - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        request->headers.emplace_back(std::string(Trim(line.substr(0, colon))),
                                      std::string(Trim(line.substr(colon + 1))));
    }
    const std::string* lengthText = request->Header("Content-Length");
    const std::size_t length = lengthText ? std::strtoul(lengthText->c_str(), nullptr, 10) : 0;
    while (body.size() < length) {
        const int got = recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) return false;
        body.append(buffer, static_cast<std::size_t>(got));
    }
    request->body = body.substr(0, length);
    return true;
}

void SendAll(SOCKET connection, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(connection, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

const std::string* RecordedRequest::Header(std::string_view name) const {
    for (const auto& [headerName, value] : headers) {
        if (SameName(headerName, name)) return &value;
    }
    return nullptr;
}

std::size_t RecordedRequest::HeaderCount(std::string_view name) const {
    std::size_t count = 0;
    for (const auto& header : headers) count += SameName(header.first, name);
    return count;
}

LoopbackHttpServer::LoopbackHttpServer(ServerMode mode)
    : mode_(mode), listener_(ListenOnLoopback(&port_)) {
    if (listen(listener_, SOMAXCONN) != 0) ADD_FAILURE() << "loopback listen: socket error " << WSAGetLastError();
    script_.push_back(ScriptedResponse{});
    thread_ = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stopping_ = true;
    thread_.join();
    closesocket(listener_);
    for (const std::uintptr_t connection : heldConnections_) closesocket(connection);
}

void LoopbackHttpServer::Script(std::vector<ScriptedResponse> responses) {
    std::lock_guard lock(mutex_);
    script_ = std::move(responses);
    if (script_.empty()) script_.push_back(ScriptedResponse{});
    answered_ = 0;
}

std::string LoopbackHttpServer::Url(std::string_view path) const {
    return "http://" + HostAndPort() + std::string(path);
}

std::string LoopbackHttpServer::HostAndPort() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::vector<RecordedRequest> LoopbackHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool LoopbackHttpServer::WaitForRequests(std::size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return requests_.size() >= count; });
}

std::uint16_t LoopbackHttpServer::RefusingPort() {
    // Bound and never listened on, for the rest of the process: connecting is refused, and no
    // test process running beside this one can take the port for a server of its own (a port
    // freed again could become another test's server, which would then see a stray request).
    std::uint16_t port = 0;
    static_cast<void>(ListenOnLoopback(&port));
    return port;
}

void LoopbackHttpServer::Serve() {
    while (!stopping_) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(listener_, &ready);
        timeval wait{0, 20000};  // look at the stop flag every 20 ms
        if (select(0, &ready, nullptr, nullptr, &wait) <= 0) continue;
        const SOCKET connection = accept(listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) continue;
        Handle(connection);
    }
}

void LoopbackHttpServer::Handle(std::uintptr_t connection) {
    // A client that never finishes its request must not hold the server forever.
    const DWORD readLimitMs = 5000;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&readLimitMs),
               sizeof readLimitMs);
    RecordedRequest request;
    const bool complete = ReadRequest(connection, &request);
    ScriptedResponse response;
    {
        std::lock_guard lock(mutex_);
        if (complete) requests_.push_back(request);
        response = script_[std::min(answered_, script_.size() - 1)];
        ++answered_;
    }
    arrived_.notify_all();
    if (complete && mode_ == ServerMode::kAcceptAndNeverAnswer) {
        heldConnections_.push_back(connection);  // closed when the server ends
        return;
    }
    if (complete) {
        std::string bytes = response.statusLine + "\r\n";
        for (const std::string& line : response.headerLines) bytes += line + "\r\n";
        bytes += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
        bytes += "Connection: close\r\n\r\n";
        if (request.method != "HEAD") bytes += response.body;
        SendAll(connection, bytes);
        shutdown(connection, SD_SEND);
    }
    closesocket(connection);
}

}  // namespace kx::testing

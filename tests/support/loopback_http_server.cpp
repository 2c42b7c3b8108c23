#include "loopback_http_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace kx::testing {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

std::string Trimmed(std::string_view text) {
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    return std::string(text.substr(begin, text.find_last_not_of(" \t") + 1 - begin));
}

SOCKET ListenOnLoopback(std::uint16_t* port) {
    static const bool winsockStarted = [] {  // for the life of the test process
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!winsockStarted || s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ADD_FAILURE() << "loopback listener: socket error " << WSAGetLastError();
    }
    int length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return s;
}

// Receives into `data` until `complete` holds; false when the peer closes or stays
// silent past the limit first.
bool ReceiveUntil(SOCKET connection, std::string& data, const auto& complete) {
    char buffer[4096];
    while (!complete()) {
        const int got = recv(connection, buffer, sizeof buffer, 0);
        if (got <= 0) return false;
        data.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

// Reads a request head (to the empty line) and the body its Content-Length announces.
bool ReadRequest(SOCKET connection, RecordedRequest* request) {
    std::string data;
    if (!ReceiveUntil(connection, data, [&] { return data.find("\r\n\r\n") != std::string::npos; })) return false;
    const std::size_t headEnd = data.find("\r\n\r\n");
    std::size_t lineEnd = data.find("\r\n");
    request->requestLine = data.substr(0, lineEnd);
    const std::size_t firstBlank = request->requestLine.find(' ');
    const std::size_t secondBlank = request->requestLine.find(' ', firstBlank + 1);
    request->method = request->requestLine.substr(0, firstBlank);
    request->target = request->requestLine.substr(firstBlank + 1, secondBlank - firstBlank - 1);
    while (lineEnd < headEnd) {
        const std::size_t start = lineEnd + 2;
        lineEnd = data.find("\r\n", start);
        const std::string_view line = std::string_view(data).substr(start, lineEnd - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        request->headers.emplace_back(Trimmed(line.substr(0, colon)), Trimmed(line.substr(colon + 1)));
    }
    const std::string* lengthText = request->Header("Content-Length");
    const std::size_t length = lengthText ? std::strtoul(lengthText->c_str(), nullptr, 10) : 0;
    if (!ReceiveUntil(connection, data, [&] { return data.size() >= headEnd + 4 + length; })) return false;
    request->body = data.substr(headEnd + 4, length);
    return true;
}

}  // namespace

const std::string* RecordedRequest::Header(std::string_view name) const {
    const auto found = std::ranges::find_if(headers, [&](const auto& header) { return SameName(header.first, name); });
    return found == headers.end() ? nullptr : &found->second;
}

std::size_t RecordedRequest::HeaderCount(std::string_view name) const {
    const auto named = [&](const auto& header) { return SameName(header.first, name); };
    return static_cast<std::size_t>(std::ranges::count_if(headers, named));
}

LoopbackHttpServer::LoopbackHttpServer(ServerMode mode) : mode_(mode), listener_(ListenOnLoopback(&port_)) {
    if (listen(listener_, SOMAXCONN) != 0) ADD_FAILURE() << "loopback listen: socket error " << WSAGetLastError();
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
    script_ = responses.empty() ? std::vector<ScriptedResponse>{ScriptedResponse{}} : std::move(responses);
    answered_ = 0;
}

std::vector<RecordedRequest> LoopbackHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

bool LoopbackHttpServer::WaitForRequests(std::size_t count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return requests_.size() >= count; });
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
        if (connection != INVALID_SOCKET) Handle(connection);
    }
}

void LoopbackHttpServer::Handle(std::uintptr_t connection) {
    // A client that never finishes its request must not hold the server forever.
    const DWORD readLimitMs = 5000;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&readLimitMs), sizeof readLimitMs);
    RecordedRequest request;
    const bool complete = ReadRequest(connection, &request);
    ScriptedResponse response;
    {
        std::lock_guard lock(mutex_);
        if (complete) requests_.push_back(request);
        response = script_[std::min(answered_++, script_.size() - 1)];
    }
    arrived_.notify_all();
    if (complete && mode_ == ServerMode::kAcceptAndNeverAnswer) {
        heldConnections_.push_back(connection);  // closed when the server ends
        return;
    }
    if (complete) {
        std::string bytes = response.statusLine + "\r\n";
        for (const std::string& line : response.headerLines) bytes += line + "\r\n";
        bytes += "Content-Length: " + std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n";
        if (request.method != "HEAD") bytes += response.body;
        // The answers are small: one send takes them whole on loopback.
        send(connection, bytes.data(), static_cast<int>(bytes.size()), 0);
        shutdown(connection, SD_SEND);
    }
    closesocket(connection);
}

}  // namespace kx::testing

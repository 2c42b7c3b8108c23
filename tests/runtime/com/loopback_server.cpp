#include "loopback_server.h"

#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace kx::testing {

LoopbackServer::LoopbackServer(std::string response) : response_(std::move(response)) {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 1) != 0) {
        ADD_FAILURE() << "loopback listener: socket error " << WSAGetLastError();
    }
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
    closesocket(listener_);  // ends an accept that never got a connection
    if (thread_.joinable()) thread_.join();
    WSACleanup();
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

const std::string& LoopbackServer::request() {
    if (thread_.joinable()) thread_.join();
    return request_;
}

void LoopbackServer::Serve() {
    const SOCKET connection = accept(listener_, nullptr, nullptr);
    if (connection == INVALID_SOCKET) return;
    char buffer[4096];
    std::size_t expected = std::string::npos;
    while (request_.size() < expected) {
        const int received = recv(connection, buffer, sizeof buffer, 0);
        if (received <= 0) break;
        request_.append(buffer, static_cast<std::size_t>(received));
        const std::size_t end = request_.find("\r\n\r\n");
        if (end != std::string::npos && expected == std::string::npos) {
            const std::size_t field = request_.find("Content-Length: ");
            const std::size_t body = field != std::string::npos && field < end
                                         ? std::strtoul(request_.c_str() + field + 16, nullptr, 10)
                                         : 0;
            expected = end + 4 + body;
        }
    }
    send(connection, response_.data(), static_cast<int>(response_.size()), 0);
    shutdown(connection, SD_BOTH);
    closesocket(connection);
}

}  // namespace kx::testing

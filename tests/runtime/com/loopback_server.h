// A one-connection HTTP server on 127.0.0.1 for tests: answers the first request with a
// fixed response and keeps the request's bytes. Serves on its own thread.
#pragma once

#include <winsock2.h>

#include <string>
#include <thread>

namespace kx::testing {

class LoopbackServer {
public:
    explicit LoopbackServer(std::string response);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::string url(const std::string& path) const;
    // The request as received; waits until the connection was served.
    const std::string& request();

private:
    void Serve();

    std::string response_;
    std::string request_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::thread thread_;
};

}  // namespace kx::testing

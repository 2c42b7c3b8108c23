// A loopback HTTP server for tests, run on a thread of the test process at 127.0.0.1 on a
// port the system picks. It records every request exactly as it arrives (request line,
// headers in order, body bytes) and answers from a script, one connection per request.
// Asked for by a client as its proxy, it records the proxy's view (absolute request targets,
// Proxy-Authorization) the same way. Owned by one test; its accessors may be called from
// any thread while it runs.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace kx::testing {

struct RecordedRequest {
    std::string requestLine;  // as sent, without CR LF
    std::string method;
    std::string target;
    std::vector<std::pair<std::string, std::string>> headers;  // in order, values trimmed
    std::string body;                                          // every byte, zeros included

    // The first header of that name (ASCII case ignored), or nullptr.
    const std::string* Header(std::string_view name) const;
    // How many headers of that name arrived.
    std::size_t HeaderCount(std::string_view name) const;
};

struct ScriptedResponse {
    std::string statusLine = "HTTP/1.1 200 OK";
    std::vector<std::string> headerLines;  // sent as given; no Date: unless listed
    std::string body;                      // Content-Length is added; HEAD gets none
};

enum class ServerMode {
    kAnswer,                // answer each request from the script
    kAcceptAndNeverAnswer,  // read the request, then hold the connection open, silent
};

class LoopbackHttpServer {
public:
    explicit LoopbackHttpServer(ServerMode mode = ServerMode::kAnswer);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // Responses in order; the last one answers every request after it.
    void Script(std::vector<ScriptedResponse> responses);

    // "http://127.0.0.1:<port>" followed by `path`.
    std::string Url(std::string_view path = "/") const { return "http://" + HostAndPort() + std::string(path); }
    // "127.0.0.1:<port>", for a proxy setting.
    std::string HostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }

    std::vector<RecordedRequest> Requests() const;
    // Waits until `count` requests have arrived, at most `timeoutMs`; whether they did.
    bool WaitForRequests(std::size_t count, int timeoutMs) const;

    // A loopback port on which nothing listens, held by this process: connecting is refused.
    static std::uint16_t RefusingPort();

private:
    void Serve();
    void Handle(std::uintptr_t connection);

    ServerMode mode_;
    std::uint16_t port_ = 0;  // set while the listener is made, so declared before it
    std::uintptr_t listener_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<ScriptedResponse> script_{ScriptedResponse{}};
    std::size_t answered_ = 0;
    std::vector<RecordedRequest> requests_;
    std::vector<std::uintptr_t> heldConnections_;
    std::thread thread_;
};

}  // namespace kx::testing

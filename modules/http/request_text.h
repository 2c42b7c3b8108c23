// The text decisions of one web request, apart from the request object: the method by
// number, the time-out, the default headers, the header lines to set, the cookie text sent
// and the cookies a response set. Pure logic over TextOps; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text_ops.h"

namespace http_module {

inline constexpr std::int32_t kPostMethod = 1;

// "GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"; out of range: "GET".
const char* MethodText(std::int32_t method);

// Milliseconds for all four time-outs, or none for -1 (leave the object's own).
std::optional<std::int32_t> TimeoutMilliseconds(std::int32_t seconds);

// `headers` with the default lines appended (CR LF before each) whose probes it lacks,
// probes found ignoring case anywhere in the text. Content-Type only for POST.
std::string WithDefaultHeaders(TextOps& ops, std::string_view headers, std::string_view url,
                               std::int32_t method);

// The cookie text as sent: every "Cookie:" (any capitals) removed when there is one.
std::string CookieTextToSend(TextOps& ops, std::string_view cookies);

// The (name, value) pairs to set, in order: the whole text as one header when it has no
// CR LF (even when empty); otherwise each non-empty line, except "Connection: keep-alive".
std::vector<std::pair<std::string, std::string>> HeadersToSet(TextOps& ops, std::string_view headers);

// The cookies the Set-Cookie lines of a response set, joined by "; ".
std::string CookiesSetBy(TextOps& ops, std::string_view responseHeaders);

}  // namespace http_module

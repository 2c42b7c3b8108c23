#include "request_text.h"

#include "header_text.h"
#include "marker_search.h"

namespace http_module {

namespace {

const char* const kMethods[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};

struct DefaultHeader {
    const char* probe;
    const char* line;  // the URL follows the Referer line
    bool postOnly;
};
const DefaultHeader kDefaultHeaders[] = {
    {"Accept:", "Accept: */*", false},
    {"Referer:", "Referer: ", false},
    {"Accept-Language:", "Accept-Language: zh-cn", false},
    {"User-Agent:", "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)", false},
    {"Content-Type:", "Content-Type: application/x-www-form-urlencoded", true},
};

}  // namespace

const char* MethodText(std::int32_t method) {
    return kMethods[method < 0 || method > 7 ? 0 : method];
}

std::optional<std::int32_t> TimeoutMilliseconds(std::int32_t seconds) {
    if (seconds == -1) return std::nullopt;
    if (seconds < 1) return 15000;
    // Beyond about 24 days the milliseconds no longer fit the object's 32-bit argument.
    const double milliseconds = static_cast<double>(seconds) * 1000;
    return milliseconds > 2147483647.0 ? 2147483647 : static_cast<std::int32_t>(milliseconds);
}

std::string WithDefaultHeaders(TextOps& ops, std::string_view headers, std::string_view url,
                               std::int32_t method) {
    std::string out(headers);
    for (const DefaultHeader& row : kDefaultHeaders) {
        if (row.postOnly && method != kPostMethod) continue;
        if (ops.Find(out, row.probe, 1, true) != -1) continue;
        out += "\r\n";
        out += row.line;
        if (std::string_view(row.probe) == "Referer:") out += url;
    }
    return out;
}

std::string CookieTextToSend(TextOps& ops, std::string_view cookies) {
    if (cookies.empty() || ops.Find(cookies, "Cookie:", 1, true) == -1) return std::string(cookies);
    return ops.Replace(cookies, "Cookie:", "", false);
}

std::vector<std::pair<std::string, std::string>> HeadersToSet(TextOps& ops, std::string_view headers) {
    std::vector<std::pair<std::string, std::string>> out;
    if (ops.Find(headers, "\r\n", 1, false) == -1) {
        out.emplace_back(HeaderName(ops, headers), HeaderValue(ops, headers));
        return out;
    }
    for (const std::string& line : ops.Split(headers, "\r\n")) {
        if (line.empty()) continue;
        std::string name = HeaderName(ops, line);
        std::string value = HeaderValue(ops, line);
        if (name == "Connection" && value == "keep-alive") continue;
        out.emplace_back(std::move(name), std::move(value));
    }
    return out;
}

std::string CookiesSetBy(TextOps& ops, std::string_view responseHeaders) {
    std::string cookies;
    for (const std::string& line : ops.Split(responseHeaders, "\r\n")) {
        if (TextBefore(ops, line, ": ") != "Set-Cookie") continue;
        const std::string piece = ops.Find(line, ";", 1, false) != -1
                                      ? TextBetween(ops, line, "Set-Cookie:", ";")
                                      : ops.Replace(line, "Set-Cookie:", "", false);
        cookies += ops.Trim(piece);
        cookies += "; ";
    }
    if (ops.Right(cookies, 2) == "; ") cookies = ops.Left(cookies, Length(cookies) - 2);
    return cookies;
}

}  // namespace http_module

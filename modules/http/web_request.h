// WebRequest: one HTTP request through the system's WinHTTP request object, driven member
// by member through the core library's COM commands. By-reference parameters are the
// caller's variables (text and byte-array words, an integer, an object-cell word); a null
// pointer stands for an omitted one. Any thread; COM is initialised by the call itself.
#pragma once

#include <cstdint>

#include "kx/word.h"

namespace http_module {

using kx::Word;

template <typename T>
struct Given {
    T value{};
    bool given = false;
};
template <typename T>
Given<T> Give(T value) { return {value, true}; }

struct WebRequestParameters {
    Word* url = nullptr;                    // 1, required
    Given<std::int32_t> method;             // 2: index into the method table
    Given<Word*> postText;                  // 3
    Given<Word*> cookies;                   // 4: in and out
    Given<Word*> returnedCookies;           // 5: out
    Given<Word*> headers;                   // 6: in and out
    Given<Word*> responseHeaders;           // 7: out
    Given<std::int32_t*> statusCode;        // 8: out
    Given<bool> noRedirect;                 // 9
    Given<Word*> postBytes;                 // 10: byte array
    Given<Word*> proxy;                     // 11
    Given<std::int32_t> timeoutSeconds;     // 12
    Given<Word*> userName;                  // 13
    Given<Word*> password;                  // 14
    Given<std::int32_t> credentialTarget;   // 15: omitted = 1
    Given<Word*> requestObject;             // 16: an object variable to use
    Given<bool> mergeCookies;               // 17: omitted = 1
    Given<bool> addDefaultHeaders;          // 18: omitted = 1
    Given<bool> normalizeHeaderNames;       // 19: omitted = 1
};

// The response body as a new byte array (0 when empty); the caller owns it. Never shows a
// message or raises an error: failures give empty results.
Word WebRequest(const WebRequestParameters& parameters);

}  // namespace http_module

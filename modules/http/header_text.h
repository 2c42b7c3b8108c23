// Request-header text: one "name: value" per line, lines joined by CR LF. Splitting a line
// into name and value and giving header names a uniform capitalisation. Pure logic over
// TextOps; any thread.
#pragma once

#include <string>
#include <string_view>

#include "text_ops.h"

namespace http_module {

// The trimmed part before the first colon, or empty when there is none.
std::string HeaderName(TextOps& ops, std::string_view line);
// The trimmed part after the first colon (which may hold further colons), or empty.
std::string HeaderValue(TextOps& ops, std::string_view line);
// The first byte upper-cased (ASCII letters only), the rest unchanged.
std::string CapitalizeFirst(TextOps& ops, std::string_view word);
// Every line's name with each "-"-separated word capitalised; lines without a colon dropped.
std::string NormalizeHeaderNames(TextOps& ops, std::string_view headers);

}  // namespace http_module

// Cookie text: items "name=value" joined by "; ". Merging the cookies a response set into
// those the caller holds, dropping deleted cookies and repeated items. Pure logic over
// TextOps; any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text_ops.h"

namespace http_module {

// The trimmed text before the first "=", or the whole item trimmed.
std::string CookieName(TextOps& ops, std::string_view item);
// Whether some item's CookieName equals `name` exactly.
bool HasCookieNamed(TextOps& ops, const std::vector<std::string>& items, std::string_view name);
// 1-based index of the first item equal to `text`, or -1.
std::int32_t IndexOfText(const std::vector<std::string>& items, std::string_view text);
// The pieces between delimiters, each kept once (first occurrence), joined again.
// splitAtDelimiter false cuts at line ends (CR, LF or CR LF) and joins with `delimiter`.
std::string RemoveDuplicateItems(TextOps& ops, std::string_view text, std::string_view delimiter,
                                 bool splitAtDelimiter);

struct MergedCookies {
    std::string merged;      // also what the caller's old-cookie variable ends up holding
    std::string newTrimmed;  // what the caller's new-cookie variable ends up holding
};
// The server's cookies first, then the old ones it did not mention; deleted ones dropped.
MergedCookies MergeCookies(TextOps& ops, std::string_view oldCookies, std::string_view newCookies);

}  // namespace http_module

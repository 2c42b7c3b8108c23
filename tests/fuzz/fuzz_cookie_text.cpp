// The HTTP module's header and cookie routines over arbitrary bytes: the input is cut at its
// first zero byte into two texts (old and new cookies, or a header text and a marker), and
// the clock's check of a Date header's text. Nothing may crash, and merged cookies hold no
// deleted cookie and no item twice.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cookie_text.h"
#include "header_text.h"
#include "marker_search.h"
#include "plain_text_ops.h"
#include "request_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string_view first = input.substr(0, cut);
    const std::string_view second = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

    http_module::testing::PlainTextOps ops;
    http_module::NormalizeHeaderNames(ops, first);
    http_module::HeadersToSet(ops, first);
    http_module::CookiesSetBy(ops, first);
    http_module::WithDefaultHeaders(ops, first, second, 1);
    (void)http_module::TextBetween(ops, first, second, "\r\n");
    http_module::TextBefore(ops, first, second, -static_cast<std::int32_t>(size % 7));

    const http_module::MergedCookies merged = http_module::MergeCookies(ops, first, second);
    const std::vector<std::string> items = ops.Split(merged.merged, "; ");
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].size() >= 8 && items[i].ends_with("=deleted")) std::abort();
        for (std::size_t j = 0; j < i; ++j) {
            if (items[i] == items[j]) std::abort();
        }
    }
    return 0;
}

#include "marker_search.h"

namespace http_module {

namespace {
constexpr std::string_view kQuotePlaceholder = "#引号";
}  // namespace

std::string TextBefore(TextOps& ops, std::string_view text, std::string_view marker,
                       std::int32_t start, bool ignoreCase) {
    const std::int32_t length = Length(text);
    std::int32_t position;
    if (start < 0) {
        std::int32_t back = -start;
        if (back == 1) back = 0;
        position = ops.FindBackwards(text, marker, length - back, ignoreCase);
    } else {
        position = ops.Find(text, marker, start == 0 ? 1 : start, ignoreCase);
    }
    if (position == -1) return {};
    return ops.Left(text, position - 1);
}

std::string TextBetween(TextOps& ops, std::string_view text, std::string_view leftMarker,
                        std::string_view rightMarker, std::int32_t start, bool ignoreCase) {
    const std::string left = ops.Replace(leftMarker, kQuotePlaceholder, "\"", true);
    const std::string right = ops.Replace(rightMarker, kQuotePlaceholder, "\"", true);
    const std::int32_t leftAt = ops.Find(text, left, start < 1 ? 1 : start, ignoreCase);
    if (leftAt == -1) return {};
    const std::int32_t after = leftAt + Length(left);
    const std::int32_t rightAt = ops.Find(text, right, after, ignoreCase);
    if (rightAt == -1) return {};
    return ops.Mid(text, after, rightAt - after);
}

}  // namespace http_module

#include "plain_text_ops.h"

#include <algorithm>

#include "text/gbk_scan.h"

namespace http_module::testing {

namespace {

using kx::text::kNotFound;

// A 1-based position as a byte index: positions before the first byte are the first byte.
std::size_t IndexOf(std::int32_t position) { return position > 1 ? static_cast<std::size_t>(position) - 1 : 0; }
std::int32_t PositionOf(std::size_t index) { return index == kNotFound ? -1 : static_cast<std::int32_t>(index + 1); }

}  // namespace

std::int32_t PlainTextOps::Find(std::string_view text, std::string_view sought, std::int32_t start,
                                bool ignoreCase) {
    return PositionOf(kx::text::FindForward(text, sought, IndexOf(start), ignoreCase));
}

std::int32_t PlainTextOps::FindBackwards(std::string_view text, std::string_view sought,
                                         std::int32_t start, bool ignoreCase) {
    return PositionOf(kx::text::FindBackward(text, sought, IndexOf(start), ignoreCase));
}

std::string PlainTextOps::Left(std::string_view text, std::int32_t n) {
    return n < 1 ? std::string() : std::string(text.substr(0, static_cast<std::size_t>(n)));
}

std::string PlainTextOps::Right(std::string_view text, std::int32_t n) {
    if (n < 1) return {};
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(n));
    return std::string(text.substr(text.size() - count));
}

std::string PlainTextOps::Mid(std::string_view text, std::int32_t start, std::int32_t n) {
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || n < 1) return {};
    return std::string(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n)));
}

std::string PlainTextOps::Replace(std::string_view text, std::string_view sought,
                                  std::string_view replacement, bool caseSensitive) {
    const kx::text::Replacement request{
        .text = text, .sought = sought, .replacement = replacement, .caseSensitive = caseSensitive};
    std::string out(kx::text::ReplacedLength(request), '\0');
    kx::text::WriteReplaced(request, out.data());
    return out;
}

std::vector<std::string> PlainTextOps::Split(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> pieces;
    kx::text::ForEachPiece(text, delimiter, -1, [&](std::string_view piece) { pieces.emplace_back(piece); });
    return pieces;
}

std::string PlainTextOps::Trim(std::string_view text) { return std::string(kx::text::TrimBlanks(text)); }

std::string PlainTextOps::Upper(std::string_view text) {
    std::string out(text);
    kx::text::UpperCaseAscii(out.data(), out.size());
    return out;
}

}  // namespace http_module::testing

#include "cookie_text.h"

namespace http_module {

namespace {

constexpr std::string_view kItemSeparator = "; ";
constexpr std::string_view kDeletedSuffix = "=deleted";

// Trimmed, with a lone trailing ";" made a full separator so that splitting drops it.
std::string TrimCookieText(TextOps& ops, std::string_view text) {
    std::string trimmed = ops.Trim(text);
    if (ops.Right(trimmed, 1) == ";") trimmed += ' ';
    return trimmed;
}

// Lines end at CR LF, a lone CR or a lone LF.
std::vector<std::string> SplitLines(TextOps& ops, std::string_view text) {
    const std::string unified = ops.Replace(ops.Replace(text, "\r\n", "\n", true), "\r", "\n", true);
    return ops.Split(unified, "\n");
}

}  // namespace

std::string CookieName(TextOps& ops, std::string_view item) {
    const std::int32_t equals = ops.Find(item, "=", 1, false);
    if (equals == -1) return ops.Trim(item);
    return ops.Trim(ops.Left(item, equals - 1));
}

bool HasCookieNamed(TextOps& ops, const std::vector<std::string>& items, std::string_view name) {
    for (const std::string& item : items) {
        if (CookieName(ops, item) == name) return true;
    }
    return false;
}

std::int32_t IndexOfText(const std::vector<std::string>& items, std::string_view text) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) return static_cast<std::int32_t>(i + 1);
    }
    return -1;
}

std::string RemoveDuplicateItems(TextOps& ops, std::string_view text, std::string_view delimiter,
                                 bool splitAtDelimiter) {
    const std::vector<std::string> pieces =
        splitAtDelimiter ? ops.Split(text, delimiter) : SplitLines(ops, text);
    std::vector<std::string> seen;
    std::string out;
    for (const std::string& piece : pieces) {
        if (IndexOfText(seen, piece) != -1) continue;
        seen.push_back(piece);
        out += piece;
        out += delimiter;
    }
    return ops.Left(out, Length(out) - Length(delimiter));
}

MergedCookies MergeCookies(TextOps& ops, std::string_view oldCookies, std::string_view newCookies) {
    const std::string oldText = TrimCookieText(ops, oldCookies);
    MergedCookies result{.merged = {}, .newTrimmed = TrimCookieText(ops, newCookies)};
    const std::vector<std::string> oldItems = ops.Split(oldText, kItemSeparator);
    std::vector<std::string> items = ops.Split(result.newTrimmed, kItemSeparator);
    for (const std::string& item : oldItems) {
        if (!HasCookieNamed(ops, items, CookieName(ops, item))) items.push_back(item);
    }
    std::string joined;
    for (const std::string& item : items) {
        if (ops.Right(item, Length(kDeletedSuffix)) == kDeletedSuffix) continue;
        joined += item;
        joined += kItemSeparator;
    }
    joined = ops.Left(joined, Length(joined) - 2);
    result.merged = RemoveDuplicateItems(ops, joined, kItemSeparator, true);
    return result;
}

}  // namespace http_module

#include "header_text.h"

#include <vector>

namespace http_module {

std::string HeaderName(TextOps& ops, std::string_view line) {
    const std::int32_t colon = ops.Find(line, ":", 1, false);
    if (colon == -1) return {};
    return ops.Trim(ops.Left(line, colon - 1));
}

std::string HeaderValue(TextOps& ops, std::string_view line) {
    const std::int32_t colon = ops.Find(line, ":", 1, false);
    if (colon == -1) return {};
    return ops.Trim(ops.Right(line, Length(line) - colon));
}

std::string CapitalizeFirst(TextOps& ops, std::string_view word) {
    if (word.empty()) return {};
    return ops.Upper(ops.Left(word, 1)) + ops.Mid(word, 2, Length(word));
}

std::string NormalizeHeaderNames(TextOps& ops, std::string_view headers) {
    std::string out;
    for (const std::string& line : ops.Split(headers, "\r\n")) {
        const std::int32_t colon = ops.Find(line, ":", 1, false);
        if (colon == -1) continue;
        const std::string name = ops.Left(line, colon - 1);
        std::string newName;
        if (ops.Find(name, "-", 1, false) != -1) {
            for (const std::string& word : ops.Split(name, "-")) {
                newName += CapitalizeFirst(ops, word);
                newName += '-';
            }
            // The joined words lose the separator behind the last one.
            newName = ops.Left(newName, Length(newName) - 1);
        } else {
            newName = CapitalizeFirst(ops, name);
        }
        out += newName;
        out += ops.Right(line, Length(line) - Length(newName));
        out += "\r\n";
    }
    return ops.Left(out, Length(out) - 2);
}

}  // namespace http_module

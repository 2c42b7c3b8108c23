// The text operations the HTTP module's routines are built from, with the meaning of the
// core library's text commands of the same names (code page 936, 1-based byte positions,
// -1 for not found). Program code supplies them through the command table
// (command_text_ops.h); the routines themselves stay pure and can run on any supplier.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace http_module {

class TextOps {
public:
    virtual ~TextOps() = default;

    // FindText: first occurrence at or after `start` (1-based), or -1.
    virtual std::int32_t Find(std::string_view text, std::string_view sought, std::int32_t start,
                              bool ignoreCase) = 0;
    // FindTextBackwards with its start argument as given.
    virtual std::int32_t FindBackwards(std::string_view text, std::string_view sought,
                                       std::int32_t start, bool ignoreCase) = 0;
    virtual std::string Left(std::string_view text, std::int32_t n) = 0;
    virtual std::string Right(std::string_view text, std::int32_t n) = 0;
    virtual std::string Mid(std::string_view text, std::int32_t start, std::int32_t n) = 0;
    // ReplaceSubtext of every occurrence from the first byte on.
    virtual std::string Replace(std::string_view text, std::string_view sought,
                                std::string_view replacement, bool caseSensitive) = 0;
    // SplitText without a limit: empty pieces kept, no empty last piece.
    virtual std::vector<std::string> Split(std::string_view text, std::string_view delimiter) = 0;
    virtual std::string Trim(std::string_view text) = 0;
    virtual std::string Upper(std::string_view text) = 0;
};

// Byte length as the routines count it (TextLength).
inline std::int32_t Length(std::string_view text) { return static_cast<std::int32_t>(text.size()); }

}  // namespace http_module

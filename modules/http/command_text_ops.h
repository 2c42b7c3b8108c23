// The text operations taken from the core library's text commands, called through the
// image's command table as program code calls them. Needs a running runtime; any thread.
#pragma once

#include "text_ops.h"

namespace http_module {

class CommandTextOps final : public TextOps {
public:
    std::int32_t Find(std::string_view text, std::string_view sought, std::int32_t start,
                      bool ignoreCase) override;
    std::int32_t FindBackwards(std::string_view text, std::string_view sought, std::int32_t start,
                               bool ignoreCase) override;
    std::string Left(std::string_view text, std::int32_t n) override;
    std::string Right(std::string_view text, std::int32_t n) override;
    std::string Mid(std::string_view text, std::int32_t start, std::int32_t n) override;
    std::string Replace(std::string_view text, std::string_view sought,
                        std::string_view replacement, bool caseSensitive) override;
    std::vector<std::string> Split(std::string_view text, std::string_view delimiter) override;
    std::string Trim(std::string_view text) override;
    std::string Upper(std::string_view text) override;
};

}  // namespace http_module

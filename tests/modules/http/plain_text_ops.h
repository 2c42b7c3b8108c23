// The text operations on the core library's own pure scans, without the runtime's value
// cells and heap: the fuzz target runs the module's routines on them natively.
#pragma once

#include "text_ops.h"

namespace http_module::testing {

class PlainTextOps final : public TextOps {
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

}  // namespace http_module::testing

// The text operations written out plainly, without the runtime: the module's pure routines
// run on them in-process and natively, and the tables check them against the commands.
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

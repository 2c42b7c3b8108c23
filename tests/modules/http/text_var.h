// A text variable of program code that frees what it holds when it goes.
#pragma once

#include <string>
#include <string_view>

#include "program_values.h"

namespace http_module::testing {

class TextVar {
public:
    explicit TextVar(std::string_view text = {}) : word_(NewText(text)) {}
    ~TextVar() { FreeValue(&word_); }
    TextVar(const TextVar&) = delete;
    TextVar& operator=(const TextVar&) = delete;
    Word* ref() { return &word_; }
    std::string text() const { return std::string(TextOf(word_)); }

private:
    Word word_;
};

}  // namespace http_module::testing

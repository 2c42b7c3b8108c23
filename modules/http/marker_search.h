// Cutting a text at markers: what stands before a marker, and what stands between two.
// Pure logic over TextOps; any thread.
#pragma once

#include <string>
#include <string_view>

#include "text_ops.h"

namespace http_module {

// What stands before the marker: the first occurrence from `start` (0 or 1: the beginning),
// or with a negative start the last one searching backwards. Empty when not found.
std::string TextBefore(TextOps& ops, std::string_view text, std::string_view marker,
                       std::int32_t start = 0, bool ignoreCase = false);

// What stands between the left marker (found from `start`) and the next right marker
// after it, neither included. In both markers "#引号" stands for a double quote.
std::string TextBetween(TextOps& ops, std::string_view text, std::string_view leftMarker,
                        std::string_view rightMarker, std::int32_t start = 0,
                        bool ignoreCase = false);

}  // namespace http_module

// The straightforward text search: walk from the origin one character at a time (a lead
// byte and its second byte as one) and test each start. The fast searches must agree with
// it on every input. Pure; for unit tests and fuzz targets.
#pragma once

#include <string_view>

#include "text/gbk_scan.h"

namespace kx::text::reference {

inline std::size_t StepOf(std::string_view text, std::size_t pos) {
    if (!IsLeadByte(text[pos])) return 1;
    return pos + 2 <= text.size() ? 2 : 0;
}

inline std::size_t FindForward(std::string_view text, std::string_view sought, std::size_t start,
                               bool ignoreCase) {
    if (start >= text.size()) return kNotFound;
    if (sought.empty()) return 0;
    for (std::size_t pos = start; pos + sought.size() <= text.size();) {
        if (MatchesAt(text, pos, sought, ignoreCase)) return pos;
        const std::size_t step = StepOf(text, pos);
        if (step == 0) break;
        pos += step;
    }
    return kNotFound;
}

inline std::size_t FindBackward(std::string_view text, std::string_view sought, std::size_t end,
                                bool ignoreCase) {
    const std::size_t searched = end < text.size() ? end : text.size();
    if (searched == 0) return kNotFound;
    if (sought.empty()) return 0;
    std::size_t found = kNotFound;
    for (std::size_t pos = 0; pos + sought.size() <= searched;) {
        if (MatchesAt(text.substr(0, searched), pos, sought, ignoreCase)) found = pos;
        const std::size_t step = StepOf(text, pos);
        if (step == 0) break;
        pos += step;
    }
    return found;
}

}  // namespace kx::text::reference

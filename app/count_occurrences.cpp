#include "count_occurrences.h"

#include "core_calls.h"

namespace clock_app {

std::int32_t CountOccurrences(const char* haystack, const char* needle, bool caseSensitive) {
    const std::int32_t needleLength = TextLength(needle);
    if (TextLength(haystack) <= 0 || needleLength <= 0) return 0;
    std::int32_t count = 0;
    for (std::int32_t position = FindText(haystack, needle, 0, !caseSensitive); position != -1;
         position = FindText(haystack, needle, position + needleLength, !caseSensitive)) {
        ++count;
    }
    return count;
}

}  // namespace clock_app

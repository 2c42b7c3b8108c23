#include "http_date_text.h"

#include <array>

namespace clock_app {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view token) {
    if (token.empty()) return false;
    for (const char c : token) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool IsMonthName(std::string_view token) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    if (token.size() != 3) return false;
    for (const std::string_view month : kMonths) {
        if (Lower(token[0]) == month[0] && Lower(token[1]) == month[1] && Lower(token[2]) == month[2]) {
            return true;
        }
    }
    return false;
}

// h:mm:ss or hh:mm:ss.
bool IsTimeOfDay(std::string_view token) {
    const std::size_t first = token.find(':');
    if (first != 1 && first != 2) return false;
    const std::string_view rest = token.substr(first + 1);
    return AllDigits(token.substr(0, first)) && rest.size() == 5 && rest[2] == ':' &&
           AllDigits(rest.substr(0, 2)) && AllDigits(rest.substr(3));
}

}  // namespace

bool LooksLikeHttpDate(std::string_view text) {
    bool month = false, time = false;
    int numbers = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(" ,-\t", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view token = text.substr(start, end - start);
        if (IsMonthName(token)) month = true;
        else if (IsTimeOfDay(token)) time = true;
        else if (AllDigits(token) && (token.size() <= 2 || token.size() == 4)) ++numbers;
        start = end + 1;
    }
    return month && time && numbers >= 2;
}

}  // namespace clock_app

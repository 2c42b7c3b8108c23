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

bool EqualsIgnoringCase(std::string_view token, std::string_view lowerName) {
    if (token.size() != lowerName.size()) return false;
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (Lower(token[i]) != lowerName[i]) return false;
    }
    return true;
}

bool IsMonthName(std::string_view token) {
    static constexpr std::array<std::string_view, 12> kMonths = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    for (const std::string_view month : kMonths) {
        if (EqualsIgnoringCase(token, month)) return true;
    }
    return false;
}

// "Sat" or "Saturday".
bool IsWeekdayName(std::string_view token) {
    static constexpr std::array<std::string_view, 7> kDays = {
        "sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday"};
    for (const std::string_view day : kDays) {
        if (EqualsIgnoringCase(token, day) || EqualsIgnoringCase(token, day.substr(0, 3))) return true;
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
    // The parser reads these in this order and keeps the current time for what it misses.
    bool (*const expected[])(std::string_view) = {
        IsWeekdayName,
        [](std::string_view t) { return AllDigits(t) && t.size() <= 2; },  // day
        IsMonthName,
        [](std::string_view t) { return AllDigits(t) && (t.size() == 2 || t.size() == 4); },  // year
        IsTimeOfDay,
    };
    std::size_t matched = 0;
    std::size_t start = 0;
    while (start <= text.size() && matched < std::size(expected)) {
        std::size_t end = text.find_first_of(" ,-\t", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view token = text.substr(start, end - start);
        if (!token.empty()) {
            if (!expected[matched](token)) return false;
            ++matched;
        }
        start = end + 1;
    }
    return matched == std::size(expected);
}

}  // namespace clock_app

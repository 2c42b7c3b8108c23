// Any bytes as an HTTP date: an accepted text names, digit run by digit run, the fields of the
// date it gives, every field is in range, and the rewrite names the same date and reads back
// as it. Input: two bytes for the current year, then the text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "http_date_text.h"

using clock_app::HttpDate;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

int DaysIn(int year, int month) {
    if (month == 2) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
    return month == 4 || month == 6 || month == 9 || month == 11 ? 30 : 31;
}

// 0 = Sunday (Sakamoto's rule).
int WeekdayOf(int year, int month, int day) {
    static const int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + kOffsets[month - 1] + day) % 7;
}

std::vector<std::string> Runs(std::string_view text, bool (*in)(char)) {
    std::vector<std::string> runs;
    for (std::size_t i = 0; i < text.size();) {
        if (!in(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && in(text[end])) ++end;
        runs.emplace_back(text.substr(i, end - i));
        i = end;
    }
    return runs;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void CheckAgainstText(std::string_view text, int currentYear, const HttpDate& date) {
    Require(date.year >= 1601 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
            date.day <= DaysIn(date.year, date.month) && date.hour >= 0 && date.hour <= 23 && date.minute >= 0 &&
            date.minute <= 59 && date.second >= 0 && date.second <= 59);
    // Eight hours on, no later than 31 December 9999, 00:00:00.
    Require(!(date.year == 9999 && date.month == 12 &&
              (date.day == 31 || (date.day == 30 && date.hour * 3600 + date.minute * 60 + date.second > 16 * 3600))));

    // Day, year, hour, minute, second in that order, asctime's year last.
    const std::vector<std::string> digits = Runs(text, IsDigit);
    Require(digits.size() == 5);
    const bool asctime = text.find(',') == std::string_view::npos;
    const std::string& yearRun = asctime ? digits[4] : digits[1];
    const std::size_t timeAt = asctime ? 1 : 2;
    for (const std::string& run : digits) Require(run.size() <= 4);
    const int second = std::atoi(digits[timeAt + 2].c_str());
    Require(std::atoi(digits[0].c_str()) == date.day);
    Require(std::atoi(digits[timeAt].c_str()) == date.hour && std::atoi(digits[timeAt + 1].c_str()) == date.minute);
    Require(second == date.second || (second == 60 && date.second == 59 && date.hour == 23 && date.minute == 59));
    const int year = std::atoi(yearRun.c_str());
    if (yearRun.size() == 4) {
        Require(year == date.year);
    } else {
        Require(yearRun.size() == 2 && date.year % 100 == year && date.year > currentYear - 50 &&
                date.year <= currentYear + 50);
    }

    // Weekday, month, and for the forms with a comma the zone: nothing else in letters.
    static const char* const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                          "jul", "aug", "sep", "oct", "nov", "dec"};
    std::vector<std::string> words = Runs(text, IsLetter);
    Require(words.size() == (asctime ? 2u : 3u));
    for (std::string& word : words) {
        for (char& c : word) c = static_cast<char>(c | 0x20);
    }
    Require(words[1] == kMonths[date.month - 1]);
    if (!asctime) Require(words[2] == "gmt" || words[2] == "ut" || words[2] == "utc");
}

void CheckRewrite(const HttpDate& date, int currentYear) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char expected[64];
    std::snprintf(expected, sizeof expected, "%s, %02d %s %04d %02d:%02d:%02d GMT",
                  kDays[WeekdayOf(date.year, date.month, date.day)], date.day, kMonths[date.month - 1], date.year,
                  date.hour, date.minute, date.second);
    const auto rewrite = clock_app::ImfFixdate(date);
    Require(std::strcmp(rewrite.data(), expected) == 0);
    const auto again = clock_app::ReadHttpDate(rewrite.data(), currentYear);
    Require(again && *again == date);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int currentYear = 100 + (data[0] | data[1] << 8) % 9900;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    const auto date = clock_app::ReadHttpDate(text, currentYear);
    if (!date) return 0;
    CheckAgainstText(text, currentYear, *date);
    CheckRewrite(*date, currentYear);
    return 0;
}

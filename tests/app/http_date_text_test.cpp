// Which texts are HTTP dates, the instant each states, and their rewrite for the system's parser.
// The three forms and the calendar's ends are read in process too (network_time_test.cpp).
#include "http_date_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace clock_app {
namespace {

constexpr HttpDate k1994{1994, 11, 6, 8, 49, 37};

TEST(HttpDateText, TheThreeFormsGiveTheirInstantAndNothingElseGivesAny) {
    struct Row {
        const char* text;
        std::optional<HttpDate> date;
        int currentYear = 2026;
    };
    const Row rows[] = {
        {"Sun, 06 Nov 1994 08:49:37 GMT", k1994},
        {" \tsunday,  6 nov 1994 8:49:37 gmt \t", k1994},
        {"Sun Nov 06 08:49:37 1994", k1994},
        {"Sun, 06-Nov-1994 08:49:37 UTC", k1994},
        {"Sun, 06 Nov 94 08:49:37 UT", k1994},
        // Two-digit years: up to 50 years ahead of the current one, else the century before.
        {"Sat, 15-Apr-17 21:01:22 GMT", HttpDate{2017, 4, 15, 21, 1, 22}},
        {"Wed, 01-Jan-76 00:00:00 GMT", HttpDate{2076, 1, 1, 0, 0, 0}},
        {"Sat, 01-Jan-77 00:00:00 GMT", HttpDate{1977, 1, 1, 0, 0, 0}},
        // A leap second is the second before it; the calendar's ends.
        {"Wed, 31 Dec 2025 23:59:60 GMT", HttpDate{2025, 12, 31, 23, 59, 59}},
        {"Thu, 29 Feb 2024 12:00:00 GMT", HttpDate{2024, 2, 29, 12, 0, 0}},
        // Zones other than GMT: refused, not applied.
        {"Sun, 06 Nov 1994 08:49:37 CET", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:37 -0700", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:37 +0000", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:37 GMT+0200", std::nullopt},
        {"Sun Nov  6 08:49:37 1994 +0530", std::nullopt},
        // Fields out of range.
        {"Sun, 06 Nov 1994 24:00:00 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 08:60:37 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:61 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:60 GMT", std::nullopt},
        {"Thu, 31 Nov 1994 08:49:37 GMT", std::nullopt},
        {"Wed, 29 Feb 2023 08:49:37 GMT", std::nullopt},
        {"Sun, 00 Nov 1994 08:49:37 GMT", std::nullopt},
        {"Sun, 06 Nov 1600 08:49:37 GMT", std::nullopt},
        {"Thu, 30 Dec 9999 16:00:01 GMT", std::nullopt},
        {"Thu, 12-Aug-2007 20:61:99999999999 GMT", std::nullopt},
        // Parts missing, misplaced or of the wrong size, and text after the zone.
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:37", std::nullopt},
        {"Sun, 06 Nov 1994", std::nullopt},
        {"06 Nov 1994 08:49:37 GMT", std::nullopt},
        {"Xyz, 06 Nov 1994 08:49:37 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 8:49 GMT", std::nullopt},
        {"Sun, 06 Nov 994 08:49:37 GMT", std::nullopt},
        {"Sun, 06 Nov-94 08:49:37 GMT", std::nullopt},
        {"Sun, Nov 06 1994 08:49:37 GMT", std::nullopt},
        {"Sun Nov  6 08:49:37 94", std::nullopt},
        {"Sun, 06 November 1994 08:49:37 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:37 GMT x", std::nullopt},
        {"Sun, 06 Nov 1994 08:49:37 GMT\xA1\xA1", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(ReadHttpDate(row.text, row.currentYear), row.date) << row.text;
}

TEST(HttpDateText, TheRewriteIsImfFixdateWithTheDatesOwnWeekday) {
    const std::pair<HttpDate, std::string> rows[] = {
        {k1994, "Sun, 06 Nov 1994 08:49:37 GMT"},
        {{1601, 1, 1, 0, 0, 0}, "Mon, 01 Jan 1601 00:00:00 GMT"},
        {{2024, 2, 29, 7, 5, 9}, "Thu, 29 Feb 2024 07:05:09 GMT"},
        {{9999, 12, 30, 16, 0, 0}, "Thu, 30 Dec 9999 16:00:00 GMT"},
    };
    for (const auto& [date, text] : rows) EXPECT_EQ(std::string(ImfFixdate(date).data()), text);
}

TEST(HttpDateText, YearOfADateTimeWithinTheCalendar) {
    const std::pair<double, int> rows[] = {
        {0.0, 1899},          {-1.5, 1899},   {46023.0, 2026},   {46022.99, 2025}, {46361.5, 2026},
        {-657434.0, 100},     {-1e300, 100},  {2958465.9, 9999}, {1e300, 9999},    {std::nan(""), 9999},
    };
    for (const auto& [dateTime, year] : rows) EXPECT_EQ(YearOfDateTime(dateTime), year) << dateTime;
}

}  // namespace
}  // namespace clock_app

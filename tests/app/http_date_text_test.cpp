// Which texts are HTTP dates enough to go to the system's parser.
#include "http_date_text.h"

#include <gtest/gtest.h>

namespace clock_app {
namespace {

TEST(HttpDateText, OnlyDateShapedTextsGoToTheParser) {
    const std::pair<const char*, bool> rows[] = {
        {" Sat, 05 Dec 2026 06:00:00 GMT", true},
        {"Sunday, 06-Nov-94 08:49:37 GMT", true},
        {"sat, 05 dec 2026 6:00:00 gmt", true},
        {"\tSat,\t05\tDec\t2026\t06:00:00\tGMT", true},
        {"", false},
        {"   ", false},
        {"yesterday", false},
        {"Sat, 05 Dec 2026", false},          // no time of day: the parser would keep "now"'s
        {"Sat, Dec 2026 06:00:00 GMT", false},  // no day
        {"05 Dex 2026 06:00:00", false},
        {"05 Dec 2026 06:00", false},
        {"05 Dec 2026 06:00:00:00", false},
        // The parser starts from a weekday and reads the time after the date.
        {"05 Dec 2026 06:00:00 GMT", false},
        {"Xyz, 05 Dec 2026 06:00:00 GMT", false},
        {"Dec Sat, 05 2026 06:00:00", false},
        {"Sat, 06:00:00 05 Dec 2026", false},
        {"Sat, Dec 05 2026 06:00:00 GMT", false},
        {"Sat, 05 2026 Dec 06:00:00 GMT", false},
        {"Sun Nov  6 08:49:37 1994", false},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(LooksLikeHttpDate(text), expected) << text;
}

}  // namespace
}  // namespace clock_app

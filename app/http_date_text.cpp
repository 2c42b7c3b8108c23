#include "http_date_text.h"

#include <cmath>
#include <cstdint>
#include <tuple>

namespace clock_app {

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr int kLastLeapHour = 23, kLastLeapMinute = 59, kLeapSecond = 60;
// Eight hours on, the last instant a date-time holds is 31 December 9999, 00:00:00.
constexpr HttpDate kLastInstant{kLastHttpYear, 12, 30, 16, 0, 0};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1 January 1970 of a civil date (proleptic Gregorian), and back.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
}

int YearFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;  // March is 0
    return static_cast<int>(yearOfEra + era * 400 + (shiftedMonth >= 10 ? 1 : 0));
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

// Reads the text front to back; every read either takes what it asks for or fails.
class DateReader {
public:
    explicit DateReader(std::string_view text) : rest_(text) {}

    bool AtEnd() const { return rest_.empty(); }

    bool Blanks() {
        std::size_t n = 0;
        while (n < rest_.size() && IsBlank(rest_[n])) ++n;
        rest_.remove_prefix(n);
        return n > 0;
    }

    bool Char(char c) {
        if (rest_.empty() || rest_.front() != c) return false;
        rest_.remove_prefix(1);
        return true;
    }

    // A run of digits, of a length in [minDigits, maxDigits]; never more than 4, so no overflow.
    std::optional<int> Number(std::size_t minDigits, std::size_t maxDigits) {
        std::size_t n = 0;
        while (n < rest_.size() && IsDigit(rest_[n])) ++n;
        if (n < minDigits || n > maxDigits) return std::nullopt;
        int value = 0;
        for (std::size_t i = 0; i < n; ++i) value = value * 10 + (rest_[i] - '0');
        rest_.remove_prefix(n);
        digits_ = n;
        return value;
    }
    std::size_t DigitsRead() const { return digits_; }

    // A run of letters, taken whole.
    std::string_view Word() {
        std::size_t n = 0;
        while (n < rest_.size() && IsLetter(rest_[n])) ++n;
        const std::string_view word = rest_.substr(0, n);
        rest_.remove_prefix(n);
        return word;
    }

private:
    std::string_view rest_;
    std::size_t digits_ = 0;
};

bool IsWeekday(std::string_view word) {
    for (const std::string_view day : kWeekdays) {
        if (EqualsIgnoringCase(word, day) || EqualsIgnoringCase(word, day.substr(0, 3))) return true;
    }
    return false;
}

std::optional<int> MonthOf(std::string_view word) {
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (EqualsIgnoringCase(word, kMonths[i])) return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

bool IsGmt(std::string_view word) {
    return EqualsIgnoringCase(word, "GMT") || EqualsIgnoringCase(word, "UT") || EqualsIgnoringCase(word, "UTC");
}

// h:mm:ss or hh:mm:ss, taken as written; ranges are checked with the date.
bool ReadTimeOfDay(DateReader& in, HttpDate& date) {
    const auto hour = in.Number(1, 2);
    if (!hour || !in.Char(':')) return false;
    const auto minute = in.Number(2, 2);
    if (!minute || !in.Char(':')) return false;
    const auto second = in.Number(2, 2);
    if (!second) return false;
    date.hour = *hour, date.minute = *minute, date.second = *second;
    return true;
}

// A two- or four-digit year; two digits are placed within 50 years of the current one.
std::optional<int> ReadYear(DateReader& in, int currentYear, bool twoDigitsAllowed) {
    const auto year = in.Number(twoDigitsAllowed ? 2 : 4, 4);
    if (!year || in.DigitsRead() == 3) return std::nullopt;
    if (in.DigitsRead() == 4) return year;
    int full = currentYear + (*year - currentYear % 100 + 100) % 100;
    if (full - currentYear > 50) full -= 100;
    return full;
}

// Sun, 06 Nov 1994 08:49:37 GMT   or   Sunday, 06-Nov-94 08:49:37 GMT (after the comma)
bool ReadAfterComma(DateReader& in, int currentYear, HttpDate& date) {
    in.Blanks();
    const auto day = in.Number(1, 2);
    if (!day) return false;
    const bool rfc850 = in.Char('-');
    if (!rfc850 && !in.Blanks()) return false;
    const auto month = MonthOf(in.Word());
    if (!month || (rfc850 ? !in.Char('-') : !in.Blanks())) return false;
    const auto year = ReadYear(in, currentYear, true);
    if (!year || !in.Blanks() || !ReadTimeOfDay(in, date) || !in.Blanks() || !IsGmt(in.Word())) return false;
    date.year = *year, date.month = *month, date.day = *day;
    return true;
}

// Sun Nov  6 08:49:37 1994 (after the weekday); asctime names no zone and means GMT.
bool ReadAsctime(DateReader& in, HttpDate& date) {
    if (!in.Blanks()) return false;
    const auto month = MonthOf(in.Word());
    if (!month || !in.Blanks()) return false;
    const auto day = in.Number(1, 2);
    if (!day || !in.Blanks() || !ReadTimeOfDay(in, date) || !in.Blanks()) return false;
    const auto year = in.Number(4, 4);
    if (!year) return false;
    date.year = *year, date.month = *month, date.day = *day;
    return true;
}

// Whether every field is in range, a leap second taken as the second before it.
bool SettleInRange(HttpDate& date) {
    if (date.year < kFirstHttpYear || date.year > kLastHttpYear || date.month < 1 || date.month > 12 ||
        date.day < 1 || date.day > DaysInMonth(date.year, date.month) || date.hour > 23 || date.minute > 59) {
        return false;
    }
    if (date.second == kLeapSecond && date.hour == kLastLeapHour && date.minute == kLastLeapMinute) {
        date.second = kLeapSecond - 1;
    }
    if (date.second > 59) return false;
    return std::tie(date.year, date.month, date.day, date.hour, date.minute, date.second) <=
           std::tie(kLastInstant.year, kLastInstant.month, kLastInstant.day, kLastInstant.hour,
                    kLastInstant.minute, kLastInstant.second);
}

void PutDigits(char* at, int value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10) at[i] = static_cast<char>('0' + value % 10);
}

}  // namespace

std::optional<HttpDate> ReadHttpDate(std::string_view text, int currentYear) {
    DateReader in(text);
    in.Blanks();
    if (!IsWeekday(in.Word())) return std::nullopt;
    HttpDate date;
    const bool read = in.Char(',') ? ReadAfterComma(in, currentYear, date) : ReadAsctime(in, date);
    in.Blanks();
    if (!read || !in.AtEnd() || !SettleInRange(date)) return std::nullopt;
    return date;
}

std::array<char, kImfFixdateSize> ImfFixdate(const HttpDate& date) {
    std::array<char, kImfFixdateSize> text{};
    constexpr std::string_view kPattern = "Www, 00 Mmm 0000 00:00:00 GMT";
    static_assert(kPattern.size() + 1 == kImfFixdateSize);
    kPattern.copy(text.data(), kPattern.size());
    // 1 January 1970 was a Thursday.
    const std::int64_t weekday = ((DaysFromCivil(date.year, date.month, date.day) % 7) + 11) % 7;
    kWeekdays[static_cast<std::size_t>(weekday)].substr(0, 3).copy(text.data(), 3);
    PutDigits(text.data() + 5, date.day, 2);
    kMonths[static_cast<std::size_t>(date.month - 1)].copy(text.data() + 8, 3);
    PutDigits(text.data() + 12, date.year, 4);
    PutDigits(text.data() + 17, date.hour, 2);
    PutDigits(text.data() + 20, date.minute, 2);
    PutDigits(text.data() + 23, date.second, 2);
    return text;
}

int YearOfDateTime(double dateTime) {
    constexpr double kFirstDay = -657434.0, kLastDay = 2958465.0;  // 1 January 100, 31 December 9999
    constexpr std::int64_t kDay0 = -25569;                          // 30 December 1899 from 1970
    const double day = std::isnan(dateTime) ? kLastDay : std::trunc(std::fmax(kFirstDay, std::fmin(kLastDay, dateTime)));
    return YearFromDays(kDay0 + static_cast<std::int64_t>(day));
}

}  // namespace clock_app

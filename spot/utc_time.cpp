#include "utc_time.h"

#include <algorithm>
#include <array>

namespace ionvane::spot {

namespace {

// The times are seconds since 1970-01-01 (Unix time), and the text has four digits for the year.
constexpr int FirstYear = 1970;
constexpr int LastYear = 9999;
constexpr std::int64_t SecondsPerDay = 86400;
constexpr std::int64_t SecondsPerHour = 3600;
constexpr std::int64_t SecondsPerMinute = 60;
constexpr int HoursPerDay = 24;
constexpr int MinutesPerHour = 60;
constexpr int MonthsPerYear = 12;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar (the civil-days algorithm:
// years start in March so that the leap day ends a year).
std::int64_t DaysFromCivil(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = y / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    int Year, Month, Day;
};

CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = days / 146097;
    const auto dayOfEra = static_cast<int>(days - era * 146097);
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int mp = (5 * dayOfYear + 2) / 153;
    const int day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int month = mp < 10 ? mp + 3 : mp - 9;
    const auto year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, MonthsPerYear> Days = {31, 28, 31, 30, 31, 30,
                                                            31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : Days[static_cast<std::size_t>(month - 1)];
}

// The number of `count` digits at `pos`, or -1.
int Digits(std::string_view text, std::size_t pos, std::size_t count) {
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

void AppendDigits(std::string &out, std::int64_t value, int count) {
    std::array<char, 4> digits{};
    for (int i = count - 1; i >= 0; --i) {
        digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(digits.data(), static_cast<std::size_t>(count));
}

} // namespace

std::optional<std::int64_t> ReadUtcTime(std::string_view text) {
    if (text.size() != UtcTimeBytes || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z') {
        return std::nullopt;
    }
    const int year = Digits(text, 0, 4);
    const int month = Digits(text, 5, 2);
    const int day = Digits(text, 8, 2);
    const int hour = Digits(text, 11, 2);
    const int minute = Digits(text, 14, 2);
    const int second = Digits(text, 17, 2);
    if (year < FirstYear || month < 1 || month > MonthsPerYear || day < 1 ||
        day > DaysInMonth(year, month) || hour < 0 || hour >= HoursPerDay || minute < 0 ||
        minute >= MinutesPerHour || second < 0 || second >= MinutesPerHour) {
        return std::nullopt;
    }
    return DaysFromCivil(year, month, day) * SecondsPerDay + hour * SecondsPerHour +
           minute * SecondsPerMinute + second;
}

std::string UtcTimeText(std::int64_t time) {
    const std::int64_t last =
        DaysFromCivil(LastYear, MonthsPerYear, 31) * SecondsPerDay + SecondsPerDay - 1;
    time = std::clamp<std::int64_t>(time, 0, last);
    const std::int64_t days = time / SecondsPerDay;
    const std::int64_t inDay = time % SecondsPerDay;
    const CivilDate date = CivilFromDays(days);
    std::string out;
    out.reserve(UtcTimeBytes);
    AppendDigits(out, date.Year, 4);
    out += '-';
    AppendDigits(out, date.Month, 2);
    out += '-';
    AppendDigits(out, date.Day, 2);
    out += 'T';
    AppendDigits(out, inDay / SecondsPerHour, 2);
    out += ':';
    AppendDigits(out, inDay % SecondsPerHour / SecondsPerMinute, 2);
    out += ':';
    AppendDigits(out, inDay % SecondsPerMinute, 2);
    out += 'Z';
    return out;
}

} // namespace ionvane::spot

// The shapes of the words around the locators of a spot line: frequencies, call signs, times
// and dates.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace ionvane::spot {

/// Digits with at most one decimal point, at least one digit: "50099.0", "144.174", and "50,313"
/// as a web page in a decimal-comma language shows it (read as 50.313 or as 50313 kHz, the
/// frequency is the same).
bool IsPlainNumber(std::string_view text);

/// A call sign: letters, digits and the separators / - #, at least one letter and one digit, and
/// neither a square locator ("50.313 KP20 IL18 JO40" names no DX call) nor a pair of locators
/// ("50313 JN48QT-IO91").
bool IsCallLike(std::string_view text);

/// Whether `text` is digits only, `minSize` to `maxSize` of them.
bool IsAllDigits(std::string_view text, std::size_t minSize, std::size_t maxSize);

/// "1206" or "1206Z"; with `zulu`, only "1206Z".
bool IsTime(std::string_view text, bool zulu);

/// "12:06", "12:06:33", "12:06Z", "[12:06]", "12:06:33.123": a clock time as loggers and web
/// clusters write it.
bool IsClockTime(std::string_view text);

/// The number of the month "Jan" to "Dec" (1 to 12), in any case; nothing for any other text.
std::optional<int> MonthNumber(std::string_view text);

/// "Jan" to "Dec", in any case.
bool IsMonth(std::string_view text);

/// The parts of a date as cluster nodes write it, "14-Jun-2026" (views into the text read).
struct DashedDate {
    std::string_view Day;  ///< one or two digits, not checked against the month
    int Month = 0;         ///< 1 to 12
    std::string_view Year; ///< four digits
};

/// The parts of "14-Jun-2026" ("7-dec-2026"); nothing for any other text.
std::optional<DashedDate> ReadDashedDate(std::string_view text);

/// "14-Jun-2026"
bool IsDashedDate(std::string_view text);

/// "2026-06-14", "14.06.2026", "14/06/2026", "06/14/26": digit groups joined by one kind of
/// separator, one group of four digits or three groups.
bool IsNumericDate(std::string_view text);

/// A word of a date or a time in a web-cluster cell: "14", "Jun", "2026", "14-Jun-2026", "1206Z",
/// "12:06", "2026-06-14", "UTC".
bool IsDateOrTimeWord(std::string_view word);

/// Words a logger or terminal puts in front of a line: "12:06:33", "[12:06]", "1206Z",
/// "2026-06-14", "14-Jun-2026".
bool IsPrefixWord(std::string_view word);

} // namespace ionvane::spot

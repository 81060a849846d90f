// Number texts in the user's regional format: formatting with a fixed count of decimals and digit
// grouping, the numeric test, locale-aware reading, the frequency box's leading-number reading,
// the shortest text of a 32-bit float and the text-to-16-bit-integer conversion.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ionvane::calc {

/// Decimals of every number the window shows with a fixed count: distances, bearings, elevations
/// and frequencies.
constexpr int ShownDecimals = 2;

/// The regional number format. Separators are UTF-8 texts (a narrow no-break space is three bytes).
struct NumberFormat {
    std::string DecimalSeparator = ".";
    std::string GroupSeparator = ",";
    /// The region's default count of decimals, which two roundings of the Es figures follow; the
    /// same as the shown decimals in every common format.
    int DefaultDecimals = ShownDecimals;
};

/// The English (United States) format: 1,234.50.
NumberFormat EnglishNumberFormat();

/// Numbers for machines rather than people: a point and no grouping (1234.5).
NumberFormat PlainNumberFormat();

/// Most decimals a fixed text can carry: every double is exact with 1074 (its smallest step is
/// 2^-1074).
constexpr int MaxFormatDecimals = 1074;

/// `value` with exactly `decimals` digits after the decimal separator (a count below 0 counts as
/// 0, above MaxFormatDecimals as MaxFormatDecimals), the integer part grouped in threes. Rounds the
/// exact binary value correctly, ties to even; a value that rounds to zero shows no minus sign.
/// Non-finite values give "NaN", "Infinity" or "-Infinity" (callers keep them off screen).
std::string FormatFixed(double value, int decimals, const NumberFormat &format);

/// FormatFixed's text appended to `out`: a text built piece by piece in a string that keeps its
/// room from run to run makes no allocation.
void AppendFixed(std::string &out, double value, int decimals, const NumberFormat &format);

/// The same text as FormatFixed, always by the standard library's exact formatter, which
/// FormatFixed takes a quicker integer way around for the usual figures.
std::string FormatFixedExact(double value, int decimals, const NumberFormat &format);

/// The locale-aware numeric test: optional blanks around, an optional leading sign, digits with
/// group separators between digits of the integer part, at most one decimal separator, at least one
/// digit, and an optional exponent (E or e, optional sign, at least one digit).
bool IsNumeric(std::string_view text, const NumberFormat &format);

/// The locale-aware text-to-number conversion: the value of a text that passes `IsNumeric`,
/// nothing for any other text. The result may be infinite for a huge exponent.
std::optional<double> TextToDouble(std::string_view text, const NumberFormat &format);

/// The text-to-32-bit-float conversion: as `TextToDouble`, and nothing when the value lies beyond
/// the float range.
std::optional<float> TextToSingle(std::string_view text, const NumberFormat &format);

/// The text-to-16-bit-integer conversion: as `TextToDouble`, rounded to the nearest whole number
/// with halves to the even neighbour (89.5 -> 90, 130.5 -> 130); nothing outside -32768..32767.
std::optional<std::int16_t> TextToInt16(std::string_view text, const NumberFormat &format);

/// The leading number of a text with "." as decimal point, whatever the regional format: blanks
/// skipped, an optional sign, digits, a decimal point, an optional exponent; reading stops at the
/// first character that cannot continue the number ("50,1" gives 50, "abc" gives 0).
double LeadingNumber(std::string_view text);

/// The value of the frequency box: its leading number, where both "." and the regional decimal
/// separator are a decimal point. Whichever of the two comes first is the point and the other ends
/// the number, as any other character does: in German "50,1" and "50.1" give 50.1 and "1.000,5"
/// gives 1; in English "50,1" gives 50.
double FrequencyValue(std::string_view text, const NumberFormat &format);

/// The shortest text of a 32-bit float: up to seven significant digits, no trailing zeros, the
/// regional decimal separator (50.1 -> "50.1", 144 -> "144", 10000000 -> "1E+07").
std::string SingleText(float value, const NumberFormat &format);

/// SingleText's text appended to `out`.
void AppendSingle(std::string &out, float value, const NumberFormat &format);

/// The number that FormatFixed(value, decimals) spells, without making the text.
double FormattedValue(double value, int decimals);

/// A number as shown with a fixed count of decimals, with the value its text spells.
struct FixedNumber {
    std::string Text;
    double Value;
};

/// FormatFixed and FormattedValue at once, for figures that are both shown and used further.
FixedNumber FormatFixedNumber(double value, int decimals, const NumberFormat &format);

/// FormatFixedNumber with the text appended to `out`; gives the value the text spells.
double AppendFixedNumber(std::string &out, double value, int decimals, const NumberFormat &format);

/// A Double from a rounding by formatting: `value` formatted with `decimals` and read back.
double RoundByFormat(double value, int decimals, const NumberFormat &format);

} // namespace ionvane::calc

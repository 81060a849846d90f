// Reading number texts: the locale-aware numeric test and conversions, the frequency box's own
// test and value, and the leading number of a text with "." as decimal point.
#pragma once

#include "number_format.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace ionvane::calc {

/// The locale-aware numeric test: optional blanks around, an optional leading sign, digits with
/// group separators between digits of the integer part, at most one decimal separator, at least one
/// digit, and an optional exponent (E or e, optional sign, at least one digit).
bool IsNumeric(std::string_view text, const NumberFormat &format);

/// The numeric test of the frequency box: as IsNumeric, and "." may stand wherever the regional
/// decimal separator may, so that "50.1" and "50." pass in German and Polish as "50,1" and "50,"
/// do. In English it is IsNumeric itself.
bool IsFrequencyNumeric(std::string_view text, const NumberFormat &format);

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

} // namespace ionvane::calc

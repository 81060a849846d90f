// Maidenhead locators: checking and completing the From and To locators, decoding a locator to
// the centre of its subsquare, and the two encoders that turn a position back into a locator.
#pragma once

#include "earth.h"
#include "status.h"
#include "utf8.h"

#include <cstdint>

#include <string>
#include <string_view>

namespace ionvane::calc {

/// Whether `c` may stand at 1-based `position` of a locator: A..R for the field, 0..9 for the
/// square, A..X for the subsquare; upper case only.
bool IsLocatorCharacter(char32_t c, int position);

/// The position (1..6) of the first character of a six-character locator that does not belong
/// where it stands, or 0 when all six are valid.
int FirstInvalidPosition(std::u32string_view locator);

/// The centre of the subsquare of a valid six-character locator.
Position DecodeLocator(std::u32string_view locator);
Position DecodeLocator(std::string_view locator); ///< a checked locator, ASCII

/// The From and To locators as `CheckLocators` leaves them.
struct LocatorCheck {
    std::int16_t StatusCode = 0; ///< 0, or the first problem found: 1..4, 11..16, 21..26
    std::string FromLoc;         ///< six characters once both length tests passed, else as typed
    std::string ToLoc;
};

/// The From and To locators as a run reads them: the status and the six characters of each, held
/// in place without a text of their own.
struct LocatorPair {
    std::int16_t StatusCode = 0; ///< as LocatorCheck's
    SixCharacters From;          ///< upper-cased and completed; all six valid when StatusCode is 0
    SixCharacters To;
};

/// CheckLocators on the locators as typed: ASCII letters are upper-cased as they are read (the
/// bytes of UTF-8 sequences are never ASCII letters, so this is upper-casing the text first).
LocatorPair ReadLocatorPair(std::string_view fromLoc, std::string_view toLoc);

/// Checks the From and To locators (already upper-cased) and completes both to six characters
/// with "MM". A rejection gives 1..4 (missing, shorter than four characters), 11..16 or 21..26
/// (the last digit names the bad character; From and To are judged position by position).
LocatorCheck CheckLocators(std::string_view fromLoc, std::string_view toLoc);

/// The locator of a position (degrees; latitude -90..90, longitude -180..180). A longitude of
/// +180 wraps to field A; a latitude of +90 gives field S and a subsquare rounding up gives Y, as
/// the path centre has always been written. A non-finite position counts as 0, 0.
std::string EncodeLocator(double latDeg, double lonDeg);

/// The locator of the try-towards point: fields clamped to A..R and subsquares to at most X,
/// squares and subsquares taken from the unclamped values. A non-finite position counts as 0, 0.
std::string EncodeOnwardLocator(double latDeg, double lonDeg);

} // namespace ionvane::calc

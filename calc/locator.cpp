#include "locator.h"

#include "ascii.h"
#include "utf8.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ionvane::calc {

namespace {

constexpr int LocatorLength = 6;
constexpr int MinimumTypedLength = 4;

// Character codes of the first letter and the first digit.
constexpr int CodeA = 65;
constexpr int Code0 = 48;

// Half a subsquare: decoding gives the centre, not the south-west corner.
constexpr double HalfSubsquareLonDeg = 1.0 / 24;
constexpr double HalfSubsquareLatDeg = 1.0 / 48;

char32_t LetterFor(int value) {
    static constexpr std::u32string_view Alphabet = U"ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return Alphabet[static_cast<std::size_t>(std::clamp(value, 0, 25))];
}

char32_t DigitFor(int value) {
    return static_cast<char32_t>(Code0 + std::clamp(value, 0, 9));
}

} // namespace

bool IsLocatorCharacter(char32_t c, int position) {
    switch (position) {
    case 1:
    case 2:
        return c >= U'A' && c <= U'R';
    case 3:
    case 4:
        return IsAsciiDigit(c);
    case 5:
    case 6:
        return c >= U'A' && c <= U'X';
    default:
        return false;
    }
}

int FirstInvalidPosition(std::u32string_view locator) {
    for (int position = 1; position <= LocatorLength; ++position) {
        const auto index = static_cast<std::size_t>(position - 1);
        if (index >= locator.size() || !IsLocatorCharacter(locator[index], position)) {
            return position;
        }
    }
    return 0;
}

namespace {
template <class View> Position DecodeCodes(View locator) {
    const auto code = [&](std::size_t index) { return static_cast<int>(locator[index]); };
    // Field and square terms are whole numbers; only the subsquare terms carry fractions. The
    // terms are summed square first, then field, then subsquare, then the half subsquare.
    const double fieldLon = (code(0) - CodeA) * 20 - 180;
    const double squareLon = (code(2) - Code0) * 2;
    const double subsquareLon = (code(4) - CodeA) / 12.0;
    const double lon = ((squareLon + fieldLon) + subsquareLon) + HalfSubsquareLonDeg;
    const double fieldLat = (code(1) - CodeA) * 10 - 90;
    const double squareLat = code(3) - Code0;
    const double subsquareLat = (1.0 / 24) * (code(5) - CodeA);
    const double lat = ((squareLat + fieldLat) + subsquareLat) + HalfSubsquareLatDeg;
    return Position{.LatDeg = lat, .LonDeg = lon};
}

// The text of six character codes; they are ASCII for every position on the globe.
std::string CodesText(const std::array<int, 6> &codes) {
    if (std::all_of(codes.begin(), codes.end(),
                    [](int code) { return code >= 0 && code <= 0x7F; })) {
        std::array<char, 6> ascii{};
        std::transform(codes.begin(), codes.end(), ascii.begin(),
                       [](int code) { return static_cast<char>(code); });
        return std::string(ascii.data(), ascii.size());
    }
    std::u32string wide;
    for (const int c : codes) {
        wide += static_cast<char32_t>(std::max(c, 0));
    }
    return CodePointsToUtf8(wide);
}
} // namespace

Position DecodeLocator(std::u32string_view locator) {
    return DecodeCodes(locator);
}

Position DecodeLocator(std::string_view locator) {
    return DecodeCodes(locator);
}

LocatorCheck CheckLocators(std::string_view fromLoc, std::string_view toLoc) {
    LocatorCheck check;
    // A rejection before both lengths have passed leaves the locators as typed.
    const auto reject = [&](Status status) {
        check.StatusCode = StatusCodeOf(status);
        check.FromLoc = fromLoc;
        check.ToLoc = toLoc;
        return check;
    };
    if (fromLoc.empty()) {
        return reject(Status::FromLocatorMissing);
    }
    if (toLoc.empty()) {
        return reject(Status::ToLocatorMissing);
    }
    // Completed with "MM" to six characters; anything past the sixth is dropped unseen.
    const SixCharacters from = CompleteToSix(fromLoc, U"MM");
    const SixCharacters to = CompleteToSix(toLoc, U"MM");
    if (from.Typed < MinimumTypedLength) {
        return reject(Status::FromLocatorShort);
    }
    if (to.Typed < MinimumTypedLength) {
        return reject(Status::ToLocatorShort);
    }
    check.FromLoc = from.Text();
    check.ToLoc = to.Text();
    // From and To are tested position by position, so the To field letter is judged before the
    // From square digit.
    for (int position = 1; position <= LocatorLength; ++position) {
        const auto index = static_cast<std::size_t>(position - 1);
        if (!IsLocatorCharacter(from.Chars[index], position)) {
            check.StatusCode = StatusCodeOf(Status::FromLocatorCharacter, position);
            return check;
        }
        if (!IsLocatorCharacter(to.Chars[index], position)) {
            check.StatusCode = StatusCodeOf(Status::ToLocatorCharacter, position);
            return check;
        }
    }
    return check;
}

std::string EncodeLocator(double latDeg, double lonDeg) {
    if (!std::isfinite(latDeg) || !std::isfinite(lonDeg)) {
        latDeg = lonDeg = 0.0;
    }
    double x = (lonDeg + 180) / 20;
    double y = (latDeg + 90) / 10;
    int fieldLon = static_cast<int>(std::floor(x));
    const int fieldLat = static_cast<int>(std::floor(y));
    x = (x - fieldLon) * 10;
    y = (y - fieldLat) * 10;
    const int squareLon = static_cast<int>(std::floor(x));
    const int squareLat = static_cast<int>(std::floor(y));
    if (fieldLon > 17) {
        fieldLon -= 18;
    }
    return CodesText({CodeA + fieldLon, CodeA + fieldLat, Code0 + squareLon, Code0 + squareLat,
                      CodeA + static_cast<int>(std::floor((x - squareLon) * 24)),
                      CodeA + static_cast<int>(std::floor((y - squareLat) * 24))});
}

std::string EncodeOnwardLocator(double latDeg, double lonDeg) {
    if (!std::isfinite(latDeg) || !std::isfinite(lonDeg)) {
        latDeg = lonDeg = 0.0;
    }
    double x = (lonDeg + 180) / 20;
    double y = (latDeg + 90) / 10;
    auto fieldLon = static_cast<float>(std::floor(x));
    auto fieldLat = static_cast<float>(std::floor(y));
    x = (x - static_cast<double>(fieldLon)) * 10;
    y = (y - static_cast<double>(fieldLat)) * 10;
    const auto squareLon = static_cast<int>(std::floor(x));
    const auto squareLat = static_cast<int>(std::floor(y));
    auto subsquareLon = static_cast<float>(std::floor((x - squareLon) * 24));
    auto subsquareLat = static_cast<float>(std::floor((y - squareLat) * 24));
    // Clamped only now, after the squares and subsquares came from the unclamped values.
    fieldLon = std::clamp(fieldLon, 0.0F, 17.0F);
    fieldLat = std::clamp(fieldLat, 0.0F, 17.0F);
    subsquareLon = std::min(subsquareLon, 23.0F);
    subsquareLat = std::min(subsquareLat, 23.0F);
    return CodesText({static_cast<int>(LetterFor(static_cast<int>(fieldLon))),
                      static_cast<int>(LetterFor(static_cast<int>(fieldLat))),
                      static_cast<int>(DigitFor(squareLon)), static_cast<int>(DigitFor(squareLat)),
                      static_cast<int>(LetterFor(static_cast<int>(subsquareLon))),
                      static_cast<int>(LetterFor(static_cast<int>(subsquareLat)))});
}

} // namespace ionvane::calc

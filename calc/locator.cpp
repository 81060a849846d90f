#include "locator.h"

#include "path.h"
#include "utf8.h"

#include <algorithm>
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

std::u32string CompleteLocator(std::string_view locator, std::u32string_view filler) {
    std::u32string completed = Utf8ToCodePoints(locator).substr(0, LocatorLength);
    completed += filler;
    return completed.substr(0, LocatorLength);
}

bool IsLocatorCharacter(char32_t c, int position) {
    switch (position) {
    case 1:
    case 2:
        return c >= U'A' && c <= U'R';
    case 3:
    case 4:
        return c >= U'0' && c <= U'9';
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

DecodedLocator DecodeLocator(std::u32string_view locator) {
    const auto code = [&](std::size_t index) { return static_cast<int>(locator[index]); };
    DecodedLocator d{};
    // Field and square terms are whole numbers; only the subsquare terms carry fractions.
    d.FieldLon = (code(0) - CodeA) * 20 - 180;
    d.SquareLon = (code(2) - Code0) * 2;
    d.SubsquareLon = (code(4) - CodeA) / 12.0;
    d.Lon = ((d.SquareLon + d.FieldLon) + d.SubsquareLon) + HalfSubsquareLonDeg;
    d.FieldLat = (code(1) - CodeA) * 10 - 90;
    d.SquareLat = code(3) - Code0;
    d.SubsquareLat = (1.0 / 24) * (code(5) - CodeA);
    d.Lat = ((d.SquareLat + d.FieldLat) + d.SubsquareLat) + HalfSubsquareLatDeg;
    return d;
}

void CheckLocators(CalcState &state, const NumberFormat &format) {
    if (state.FromLoc.empty()) {
        state.StatusCode = FromLocatorMissing;
        return;
    }
    if (state.ToLoc.empty()) {
        state.StatusCode = ToLocatorMissing;
        return;
    }
    if (Utf8ToCodePoints(state.FromLoc).size() < MinimumTypedLength) {
        state.StatusCode = FromLocatorShort;
        return;
    }
    if (Utf8ToCodePoints(state.ToLoc).size() < MinimumTypedLength) {
        state.StatusCode = ToLocatorShort;
        return;
    }
    const std::u32string from = CompleteLocator(state.FromLoc, U"MM");
    const std::u32string to = CompleteLocator(state.ToLoc, U"MM");
    state.FromLoc = CodePointsToUtf8(from);
    state.ToLoc = CodePointsToUtf8(to);
    // From and To are tested position by position, so the To field letter is judged before the
    // From square digit.
    for (int position = 1; position <= LocatorLength; ++position) {
        const auto index = static_cast<std::size_t>(position - 1);
        if (!IsLocatorCharacter(from[index], position)) {
            state.StatusCode = static_cast<std::int16_t>(FromLocatorCharacterBase + position);
            return;
        }
        if (!IsLocatorCharacter(to[index], position)) {
            state.StatusCode = static_cast<std::int16_t>(ToLocatorCharacterBase + position);
            return;
        }
    }
    CalcPath(state, format);
}

void DecodeLocators(CalcState &state) {
    const DecodedLocator point1 = DecodeLocator(Utf8ToCodePoints(state.WorkLoc1));
    state.Lon1 = point1.Lon;
    state.Lat1 = point1.Lat;
    const DecodedLocator point2 = DecodeLocator(Utf8ToCodePoints(state.WorkLoc2));
    state.Lon2 = point2.Lon;
    state.Lat2 = point2.Lat;
    state.FieldLon = point2.FieldLon;
    state.SquareLon = point2.SquareLon;
    state.SubsquareLon = point2.SubsquareLon;
    state.FieldLat = point2.FieldLat;
    state.SquareLat = point2.SquareLat;
    state.SubsquareLat = point2.SubsquareLat;
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
    const std::u32string text{
        static_cast<char32_t>(CodeA + fieldLon),
        static_cast<char32_t>(CodeA + fieldLat),
        static_cast<char32_t>(Code0 + squareLon),
        static_cast<char32_t>(Code0 + squareLat),
        static_cast<char32_t>(CodeA + static_cast<int>(std::floor((x - squareLon) * 24))),
        static_cast<char32_t>(CodeA + static_cast<int>(std::floor((y - squareLat) * 24)))};
    return CodePointsToUtf8(text);
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
    const std::u32string text{LetterFor(static_cast<int>(fieldLon)),
                              LetterFor(static_cast<int>(fieldLat)),
                              DigitFor(squareLon),
                              DigitFor(squareLat),
                              LetterFor(static_cast<int>(subsquareLon)),
                              LetterFor(static_cast<int>(subsquareLat))};
    return CodePointsToUtf8(text);
}

} // namespace ionvane::calc

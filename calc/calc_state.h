// The calculation state: every value one press of Calculate hands from step to step, under the
// names the calculation routines use for them. One object, passed explicitly; nothing global.
#pragma once

#include "number_text.h"

#include <cstdint>
#include <string>
#include <variant>

namespace ionvane::calc {

/// A value that remembers whether it holds nothing, a 16-bit integer, a Double or a text. The
/// path texts hold formatted text normally and the integers 0 and 1 for a path within one
/// subsquare: the display shows what is held, the arithmetic sees the number it spells.
class Variant {
  public:
    Variant() = default;
    Variant(std::int16_t value) : Held(value) {}
    Variant(double value) : Held(value) {}
    Variant(std::string value) : Held(std::move(value)) {}

    /// `value` formatted with `decimals`, together with the value that text spells, so that
    /// reading it back costs nothing.
    static Variant FormattedNumber(double value, int decimals, const NumberFormat &format) {
        Variant formatted(FormatFixed(value, decimals, format));
        formatted.SpelledValue = FormattedValue(value, decimals);
        formatted.HasSpelledValue = true;
        return formatted;
    }

    /// The text shown on screen: a text as it is, an integer as its digits, a Double with two
    /// decimals.
    [[nodiscard]] std::string DisplayText(const NumberFormat &format) const;
    /// The number used in arithmetic and comparisons; a text is read in the regional format
    /// ("1,172.77" counts as 1172.77 in English), Empty and unreadable text count as 0.
    [[nodiscard]] double NumericValue(const NumberFormat &format) const;

  private:
    std::variant<std::monostate, std::int16_t, double, std::string> Held;
    double SpelledValue = 0;
    bool HasSpelledValue = false;
};

struct CalcState {
    // Inputs and settings.
    float FreqMHz = 0.0F;
    float EsLayerHeightKm = 0.0F;
    float HomeHeightKm = 0.0F;

    // Locators.
    std::string FromLoc;
    std::string ToLoc;
    std::string WorkLoc1;
    std::string WorkLoc2;
    std::string HomeLoc;
    std::string MidPointLoc;
    std::string CentreLoc;
    std::string TowardsLoc;

    // Status.
    std::int16_t StatusCode = 0;
    std::string StatusMsg;

    // Two values of pi, both four times the arc tangent of 1.
    double CalcPi = 0.0;
    double PathPi = 0.0;

    // Path ends and the terms of the last decoded locator, degrees.
    double Lon1 = 0.0;
    double Lat1 = 0.0;
    double Lon2 = 0.0;
    double Lat2 = 0.0;
    double FieldLon = 0.0;
    double SquareLon = 0.0;
    double SubsquareLon = 0.0;
    double FieldLat = 0.0;
    double SquareLat = 0.0;
    double SubsquareLat = 0.0;
    double HomeFieldLon = 0.0;
    double HomeSquareLon = 0.0;
    double HomeSubsquareLon = 0.0;
    double HomeFieldLat = 0.0;
    double HomeSquareLat = 0.0;
    double HomeSubsquareLat = 0.0;
    Variant HomeLon;
    Variant HomeLat;

    // Distance and bearing of a path.
    double Lat1Rad = 0.0;
    double Lon1Rad = 0.0;
    double Lat2Rad = 0.0;
    double Lon2Rad = 0.0;
    double TrigDenom = 0.0;
    double ArcRad = 0.0;
    double BearingNum = 0.0;
    double BearingRad = 0.0;
    Variant DistanceKm;
    Variant BearingDeg;
    Variant DistanceText;
    Variant BearingText;
    Variant WhichEnd;
    Variant SwapTemp;

    // Midpoint and try-towards point.
    double MidLatRad = 0.0;
    double MidLonRad = 0.0;
    double MidLat = 0.0;
    double MidLon = 0.0;
    double HomeArc = 0.0;
    double HomeBearing = 0.0;
    double TowardsLat = 0.0;
    double TowardsLon = 0.0;
    double TowardsDeltaLon = 0.0;

    // The text the home locator box shows; the home check writes the completed locator into it.
    std::string HomeBoxText;
};

} // namespace ionvane::calc

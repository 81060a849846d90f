// The colour scale of the Es MUF layer: 28 to 200 MHz on a logarithmic axis, blue at 10 m through
// green at 6 m, yellow at 4 m and red at 2 m to purple at 200 MHz, so that each band's squares
// read at a glance and a square turning red says 2 m. Standard library only: the map paints with
// it, the tests check it by numbers.
#pragma once

#include <array>
#include <cstdint>

namespace ionvane::map {

/// The ends of the scale, MHz: the bottom of 10 m, and a MUF no Es spot has been seen to pass.
constexpr double MufScaleLowMHz = 28;
constexpr double MufScaleHighMHz = 200;

/// A colour of the scale, red, green and blue, 0 to 255.
struct MufColour {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    friend bool operator==(const MufColour &, const MufColour &) = default;
};

/// One mark of the scale: a band's lower edge, its colour, and its name as the legend writes it.
struct MufScaleStop {
    double FreqMHz;
    MufColour Colour;
    const char *Band; ///< "10 m"; null for the top end
};

/// The marks from the bottom up: 10 m (28 MHz), 6 m (50), 4 m (70), 2 m (144), and the top (200).
const std::array<MufScaleStop, 5> &MufScaleStops();

/// Where `mufMHz` lies along the scale, 0 at MufScaleLowMHz to 1 at MufScaleHighMHz (log of the
/// frequency), clamped at both ends; NaN counts as the bottom.
double MufScalePosition(double mufMHz);

/// The colour of `mufMHz`: the marks' colours at their frequencies, blended in between along the
/// scale; clamped at both ends.
MufColour MufScaleColour(double mufMHz);

} // namespace ionvane::map

// Reading a DX-cluster spot: one raw line in, the frequency in MHz and two locators out, or the
// reason why not. Reads the cluster's "DX de" lines, the listing lines of SH/DX, and a bare
// comment with a frequency in front ("50.313 IO90IR<ES>JN77EX").
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ionvane::spot {

/// Longest line read as a spot; anything longer is refused at once.
constexpr std::size_t MaxSpotLineBytes = 1024;

/// Why a line gives no calculation.
enum class SpotProblem {
    None,
    NotASpot,    ///< prompts, announcements, talk, WWV lines: nothing to say about them
    NoLocators,  ///< a spot without any locator
    OneLocator,  ///< a spot with one locator and no trailing grid
    NoFrequency, ///< locators without a frequency
    TooLong,     ///< a line past MaxSpotLineBytes
};

/// The user's words for a problem ("No locators found in the spot"); empty for None.
std::string_view ProblemText(SpotProblem problem);

/// What a spot line says.
struct Spot {
    std::string FreqMHzText; ///< the frequency in MHz as exact decimal text ("50.099")
    double FreqMHz = 0;
    std::string FromLoc; ///< upper case, four or six characters
    std::string ToLoc;
    std::string Tag;     ///< propagation mode named next to the locators (ES, TR, MS, AU ...)
    std::string Mode;    ///< operating mode a feed report names (FT8, FT4); empty for cluster lines
    std::string DxCall;  ///< empty for a bare comment
    std::string Spotter; ///< empty where the line does not name one
};

struct SpotReading {
    SpotProblem Problem = SpotProblem::NotASpot;
    Spot Read;             ///< whatever was found, complete when Problem is None
    int LocatorsFound = 0; ///< locators in the comment (the trailing grid not counted)
};

/// Reads one line. In a cluster line the frequency is in kHz; a bare number below 1000 is MHz.
/// The first locator of the comment is From and the second To; with one locator in the comment
/// and a grid after the time, that grid is From. Eight-character locators are cut to six; the
/// call signs of the line are never taken for locators.
SpotReading ReadSpot(std::string_view line);

/// The decimal text of `number` (digits with at most one decimal point, "50313512") divided by
/// 10^shift, exactly, without needless zeros: ("50313512", 6) gives "50.313512".
std::string ShiftDecimal(std::string_view number, int shift);

/// The problem of a text the user means as a spot (pasted or dropped): for a line of no known form,
/// what is missing from it.
SpotProblem ProblemAsSpot(const SpotReading &reading);

} // namespace ionvane::spot

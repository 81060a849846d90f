// Reading a DX-cluster spot: one raw line in, the frequency in MHz and two locators out, or the
// reason why not. Reads the cluster's "DX de" lines wherever they start in the line, the listing
// lines of SH/DX, rows copied from web clusters (tab-separated columns in any order) and a bare
// comment with a frequency in front ("50.313 IO90IR<ES>JN77EX"). Nothing here depends on the
// process locale.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ionvane::spot {

/// Longest line read as a spot; anything longer is refused at once.
constexpr std::size_t MaxSpotLineBytes = 1024;

/// A frequency written below this is in MHz, from it on in kHz, in every line form: clusters send
/// kHz (50313.0), web clusters and loggers often MHz (50.313), and no band is both.
constexpr double MHzBelow = 1000;

/// Why a line gives no calculation.
enum class SpotProblem {
    None,
    NotASpot,     ///< prompts, announcements, talk, WWV lines: nothing to say about them
    NoLocators,   ///< a spot without any locator
    OneLocator,   ///< a spot with one locator and no trailing grid
    SameLocators, ///< the two locators name the same subsquare once completed (JO65 and JO65MM)
    NoFrequency,  ///< locators without a frequency
    TooLong,      ///< a line past MaxSpotLineBytes
    NoSpotForm,   ///< a number and a locator in a line of no known spot form
};

/// The user's words for a problem ("No locators found in the spot"); empty for None.
std::string_view ProblemText(SpotProblem problem);

/// What a spot line says.
struct Spot {
    std::string FreqMHzText; ///< the frequency in MHz as exact decimal text with a point ("50.099")
    double FreqMHz = 0;
    std::string FromLoc; ///< upper case, four or six characters
    std::string ToLoc;
    std::string Tag;     ///< propagation mode named next to the locators (ES, TR, MS, AU ...)
    std::string Mode;    ///< operating mode a feed report names (FT8, FT4); empty for cluster lines
    bool Es = true;      ///< false when the tag names another mode than sporadic E
    std::string DxCall;  ///< empty for a bare comment without one
    std::string Spotter; ///< empty where the line does not name one
    /// The grid a cluster gives after the time (the spotter's own, as CC11 and "DX de" lines of
    /// many nodes send it); empty where the line gives none.
    std::string SpotterGrid;
};

struct SpotReading {
    SpotProblem Problem = SpotProblem::NotASpot;
    Spot Read;                ///< whatever was found, complete when Problem is None
    int LocatorsFound = 0;    ///< locators in the comment (the trailing grid not counted)
    bool NodeMessage = false; ///< an announcement, talk, WWV/WCY line or prompt: never a spot
};

/// Reads one line. Control characters and ANSI escape sequences are taken out first. A frequency
/// below MHzBelow is MHz, otherwise kHz. The first locator of the comment is From and the second
/// (a different subsquare) To; with one locator in the comment and a grid after the time, that
/// grid is From. Eight-character locators are cut to six; the call signs of the line and the FT8
/// word RR73 are never taken for locators.
SpotReading ReadSpot(std::string_view line);

/// The six-character form in which the calculation sees a locator: IO90 is IO90MM.
std::string CompletedLocator(std::string_view locator);

/// The decimal text of `number` (digits with at most one decimal point, "50313512") divided by
/// 10^shift, exactly, without needless zeros: ("50313512", 6) gives "50.313512".
std::string ShiftDecimal(std::string_view number, int shift);

/// The problem of a text the user means as a spot (pasted or dropped): for a line of no known form,
/// what is missing from it.
SpotProblem ProblemAsSpot(const SpotReading &reading);

/// Whether a propagation tag means sporadic E: ES and its spellings, or no tag at all.
bool IsEsTag(std::string_view tag);

} // namespace ionvane::spot

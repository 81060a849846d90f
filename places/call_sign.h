// What a call sign says about where its station is, before any table is asked: whether a word is
// a call at all, and which part of a call with strokes ("EA8/ON4CAU", "ON4CAU/P", "G4ABC/MM")
// names the place. Plain text in, plain values out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ionvane::places {

/// Longest call read, characters: the longest calls on the air ("VP2V/G4ABC/QRP", special event
/// calls of a dozen letters) stay well under it.
constexpr std::size_t MaxCallChars = 20;

/// A spotter's call as nodes write it, without the SSID of a second login or a skimmer ("DK7UK-2",
/// "DK7UK-#" give "DK7UK"), upper case.
std::string StationCall(std::string_view word);

/// Whether `word` can be a call: letters, digits and strokes, at least one letter and one digit in
/// the part that names the station, and neither a locator ("JN48", "IO90IR"), a number ("50313")
/// nor a word ("TEST"). Case does not matter.
bool IsCallSign(std::string_view word);

/// The part of a call to look up in the country file.
struct CallParts {
    std::string Whole;    ///< the call as given, upper case
    std::string Lookup;   ///< the part whose prefix names the place ("EA8" of "EA8/ON4CAU")
    bool Mobile = false;  ///< a /P, /M, /QRP ... call: its place is less sure over time
    bool NoPlace = false; ///< maritime (/MM) or aeronautical (/AM) mobile: on no land at all
    /// The call area the station works from: the digit after a stroke ("W1ABC/4": 4), else the
    /// digit of Lookup at CallAreaAt ("IK0ABC": 0); none for a lookup without one.
    std::optional<char> AreaDigit;
};

/// Where the digit of a call's area is: the first digit after a letter ("IK0ABC": 2, "4U1ITU":
/// 2), none for a call without one.
std::optional<std::size_t> CallAreaAt(std::string_view call);

/// Splits a call (IsCallSign true) into what names its place. Suffixes that name no place
/// (P, M, QRP, A, LH, J, a single digit of a call area) are dropped; of two remaining parts the
/// shorter one is the place ("EA8/ON4CAU" and "ON4CAU/EA8" both give "EA8").
CallParts SplitCall(std::string_view call);

} // namespace ionvane::places

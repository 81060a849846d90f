// Every status a press of Calculate can end with, in one place. The window and the command line
// show them through one table of messages (command's status table); the codes are what the
// command line reports.
#pragma once

#include <cstdint>

namespace ionvane::calc {

/// The status codes. The three character statuses are bases: the code is the base plus the
/// position 1..6 of the bad character, so that its last digit names the character.
enum class Status : std::int16_t {
    None = 0,
    FromLocatorMissing = 1,
    ToLocatorMissing = 2,
    FromLocatorShort = 3, ///< fewer than four characters
    ToLocatorShort = 4,
    FromLocatorCharacter = 10,
    ToLocatorCharacter = 20,
    HomeLocatorCharacter = 30,
    AntipodalEnds = 40,       ///< every great circle through the ends is a path: no centre
    NoWorkingFrequency = 144, ///< the frequency text is no number the run can work with
};

/// The code of a status; for a character status, `position` (1..6) is added.
constexpr std::int16_t StatusCodeOf(Status status, int position = 0) {
    return static_cast<std::int16_t>(static_cast<int>(status) + position);
}

} // namespace ionvane::calc

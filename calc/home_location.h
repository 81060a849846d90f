// The home station's locator: completion, check and decoding.
#pragma once

#include "calc_state.h"

namespace ionvane::calc {

/// Status code of a bad home locator character: this base plus the position 1..6.
constexpr std::int16_t HomeLocatorCharacterBase = 30;

/// The characters a short home locator is completed with.
inline constexpr std::u32string_view HomeLocatorFiller = U"IO90IR";

/// Completes HomeLoc (as typed, case kept) to six characters with the characters of "IO90IR",
/// writes the completed form into HomeBoxText, checks it and decodes it into HomeLon and HomeLat
/// (degrees, centre of the subsquare). A bad character n sets StatusCode 30 + n and leaves the
/// home position as it was. An empty home locator becomes IO90IR.
void CheckHomeLoc(CalcState &state);

} // namespace ionvane::calc

// The home station's locator: completion, check and decoding.
#pragma once

#include "earth.h"
#include "status.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ionvane::calc {

/// The characters a short home locator is completed with.
inline constexpr std::u32string_view HomeLocatorFiller = U"IO90IR";

/// The home locator as `CheckHomeLoc` leaves it.
struct HomeCheck {
    std::int16_t StatusCode = 0; ///< 0, or 30 + n for a bad character n
    std::string CompletedLoc;    ///< the six characters the home box shows, also when rejected
    Position Home;               ///< centre of the home subsquare when StatusCode is 0
};

/// Completes the home locator (as typed, case kept) to six characters with the characters of
/// "IO90IR", checks it and decodes it. An empty home locator becomes IO90IR; a four-character one
/// gets the subsquare IO (JN77 is JN77IO).
HomeCheck CheckHomeLoc(std::string_view homeLoc);

} // namespace ionvane::calc

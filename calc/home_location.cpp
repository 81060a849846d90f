#include "home_location.h"

#include "locator.h"
#include "utf8.h"

namespace ionvane::calc {

void CheckHomeLoc(CalcState &state) {
    const SixCharacters six = CompleteToSix(state.HomeLoc, HomeLocatorFiller);
    const std::u32string_view completed(six.Chars.data(), six.Count);
    // The box shows the completed form even when a character is then rejected.
    state.HomeBoxText = six.Text();
    if (const int bad = FirstInvalidPosition(completed); bad != 0) {
        state.StatusCode = static_cast<std::int16_t>(HomeLocatorCharacterBase + bad);
        return;
    }
    const DecodedLocator home = DecodeLocator(completed);
    state.HomeFieldLon = home.FieldLon;
    state.HomeSquareLon = home.SquareLon;
    state.HomeSubsquareLon = home.SubsquareLon;
    state.HomeLon = home.Lon;
    state.HomeFieldLat = home.FieldLat;
    state.HomeSquareLat = home.SquareLat;
    state.HomeSubsquareLat = home.SubsquareLat;
    state.HomeLat = home.Lat;
}

} // namespace ionvane::calc

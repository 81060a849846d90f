#include "screen.h"

#include "calc/home_location.h"
#include "calc/locator.h"
#include "calc/path_centre.h"

namespace ionvane::window {

std::string_view ControlName(Control control) {
    switch (control) {
    case Control::txtFromLoc:
        return "txtFromLoc";
    case Control::txtToLoc:
        return "txtToLoc";
    case Control::txtFreq:
        return "txtFreq";
    case Control::txtHomeLoc:
        return "txtHomeLoc";
    case Control::cmdCalcMUF:
        return "cmdCalcMUF";
    case Control::cmdClear:
        return "cmdClear";
    }
    return "";
}

std::optional<StatusEntry> LookUpStatus(std::int16_t statusCode) {
    using namespace calc;
    switch (statusCode) {
    case FromLocatorMissing:
        return StatusEntry{"From Locator missing!", Control::txtFromLoc};
    case ToLocatorMissing:
        return StatusEntry{"To Locator missing!", Control::txtToLoc};
    case FromLocatorShort:
        return StatusEntry{"From Locator < 4 Characters!", Control::txtFromLoc};
    case ToLocatorShort:
        return StatusEntry{"To Locator < 4 Characters!", Control::txtToLoc};
    case AntipodalStatus:
        return StatusEntry{"From and To Locators are antipodal!", Control::txtToLoc};
    case NoFrequencyStatus:
        return StatusEntry{"No working Frequency..!!", Control::txtFreq};
    default:
        break;
    }
    const int position = statusCode % 10;
    if (position < 1 || position > 6) {
        return std::nullopt;
    }
    const std::string character = " Character " + std::to_string(position) + " invalid!";
    switch (statusCode - position) {
    case FromLocatorCharacterBase:
        return StatusEntry{"From Locator" + character, Control::txtFromLoc};
    case ToLocatorCharacterBase:
        return StatusEntry{"To Locator" + character, Control::txtToLoc};
    case HomeLocatorCharacterBase:
        return StatusEntry{"Home Locator" + character, Control::txtHomeLoc};
    default:
        return std::nullopt;
    }
}

} // namespace ionvane::window

#include "home_location.h"

#include "locator.h"
#include "utf8.h"

namespace ionvane::calc {

HomeCheck CheckHomeLoc(std::string_view homeLoc) {
    const SixCharacters six = CompleteToSix(homeLoc, HomeLocatorFiller);
    const std::u32string_view completed(six.Chars.data(), six.Count);
    HomeCheck check{.StatusCode = 0, .CompletedLoc = six.Text(), .Home = {}};
    if (const int bad = FirstInvalidPosition(completed); bad != 0) {
        check.StatusCode = StatusCodeOf(Status::HomeLocatorCharacter, bad);
        return check;
    }
    check.Home = DecodeLocator(completed);
    return check;
}

} // namespace ionvane::calc

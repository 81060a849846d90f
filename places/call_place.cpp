#include "call_place.h"

#include "call_sign.h"

#include "calc/locator.h"

#include <cmath>

namespace ionvane::places {

namespace {

constexpr std::int64_t SecondsPerDay = 86400;
constexpr std::int64_t SecondsPerHour = 3600;
constexpr std::int64_t SecondsPerMinute = 60;

// "10:02" of a time, UTC.
std::string ClockText(std::int64_t time) {
    const std::int64_t ofDay = ((time % SecondsPerDay) + SecondsPerDay) % SecondsPerDay;
    // Digit by digit rather than through the C library's formatter, which the package's binaries
    // are kept free of.
    const auto hours = static_cast<int>(ofDay / SecondsPerHour);
    const auto minutes = static_cast<int>(ofDay % SecondsPerHour / SecondsPerMinute);
    return {static_cast<char>('0' + hours / 10), static_cast<char>('0' + hours % 10), ':',
            static_cast<char>('0' + minutes / 10), static_cast<char>('0' + minutes % 10)};
}

std::string SixCharacters(std::string_view locator) {
    std::string six(locator);
    if (six.size() == 4) {
        six += "MM"; // the middle of the square, as the calculation completes it
    }
    return six;
}

double LocatorUncertaintyKm(std::string_view locator) {
    return locator.size() == 4 ? SquareUncertaintyKm : SubsquareUncertaintyKm;
}

} // namespace

std::string_view PlacedByName(PlacedBy by) {
    switch (by) {
    case PlacedBy::Locator:
        return "locator";
    case PlacedBy::Heard:
        return "heard";
    case PlacedBy::Prefix:
        return "prefix";
    }
    return "";
}

EndPlace LocatorPlace(std::string_view locator) {
    return EndPlace{PlacedBy::Locator, SixCharacters(locator), LocatorUncertaintyKm(locator),
                    "locator"};
}

std::optional<EndPlace> CallPlace(std::string_view spotted, std::int64_t now,
                                  const GridMemory *memory, const CountryFile *countries) {
    const std::string call = StationCall(spotted);
    if (!IsCallSign(call) || SplitCall(call).NoPlace) {
        return std::nullopt;
    }
    if (memory != nullptr) {
        if (const auto heard = memory->Find(call, now)) {
            return EndPlace{PlacedBy::Heard, SixCharacters(heard->Grid),
                            LocatorUncertaintyKm(heard->Grid),
                            "heard with " + heard->Grid + " at " + ClockText(heard->When)};
        }
    }
    if (countries == nullptr) {
        return std::nullopt;
    }
    const auto place = countries->Find(call);
    if (!place) {
        return std::nullopt;
    }
    const bool exact = place->Matched.front() == '=';
    const std::string what =
        exact ? "call " + place->Matched.substr(1) : "prefix " + place->Matched;
    const long sizeKm = std::lround(place->UncertaintyKm);
    return EndPlace{PlacedBy::Prefix, calc::EncodeLocator(place->LatDeg, place->LonDeg),
                    place->UncertaintyKm,
                    what + " (" + place->Where->Name + ") +-" + std::to_string(sizeKm) + " km"};
}

bool PlacedWithin(const EndPlace &from, const EndPlace &to) {
    return from.UncertaintyKm <= PlacedWithinKm && to.UncertaintyKm <= PlacedWithinKm;
}

} // namespace ionvane::places

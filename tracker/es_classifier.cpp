#include "es_classifier.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace ionvane::tracker {

std::string_view EsClassName(EsClass esClass) {
    switch (esClass) {
    case EsClass::Counted:
        return "es";
    case EsClass::MultiHop:
        return "multi-hop";
    case EsClass::TooShort:
        return "too-short";
    case EsClass::OtherMode:
        return "other-mode";
    case EsClass::OtherBand:
        return "other-band";
    case EsClass::NoResult:
        return "no-result";
    }
    return "";
}

bool IsEsTag(std::string_view tag) {
    static constexpr std::array<std::string_view, 4> EsTags = {"", "ES", "EES", "E"};
    return std::any_of(EsTags.begin(), EsTags.end(), [&](std::string_view es) {
        return es.size() == tag.size() &&
               std::equal(es.begin(), es.end(), tag.begin(), [](char a, char b) {
                   return a == std::toupper(static_cast<unsigned char>(b));
               });
    });
}

EsClass ClassifySpot(std::optional<Band> band, std::string_view tag, double distanceKm,
                     const ClassifierSettings &settings) {
    if (!band) {
        return EsClass::OtherBand;
    }
    if (!IsEsTag(tag)) {
        return EsClass::OtherMode;
    }
    if (!(distanceKm >= settings.MinDistanceKm[BandIndex(*band)])) {
        return EsClass::TooShort;
    }
    if (distanceKm > settings.MaxDistanceKm) {
        return EsClass::MultiHop;
    }
    return EsClass::Counted;
}

} // namespace ionvane::tracker

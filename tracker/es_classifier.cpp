#include "es_classifier.h"

#include "spot/spot_reader.h"

#include <array>

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

EsClass ClassifySpot(std::optional<Band> band, std::string_view tag, double distanceKm,
                     const ClassifierSettings &settings) {
    if (!band) {
        return EsClass::OtherBand;
    }
    if (!spot::IsEsTag(tag)) {
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

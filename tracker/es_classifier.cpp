#include "es_classifier.h"

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
    case EsClass::MeteorScatter:
        return "meteor-scatter";
    case EsClass::Aurora:
        return "aurora";
    case EsClass::Unconfirmed:
        return "unconfirmed";
    }
    return "";
}

std::string_view EsClassText(EsClass esClass) {
    switch (esClass) {
    case EsClass::MeteorScatter:
        return "meteor scatter, not Es";
    case EsClass::Aurora:
        return "aurora, not Es";
    case EsClass::Unconfirmed:
        return "2 m, unconfirmed (no 6 m or 4 m Es under it)";
    default:
        return "";
    }
}

std::string_view PropagationText(Propagation propagation) {
    switch (propagation) {
    case Propagation::Es:
        return "";
    case Propagation::MeteorScatter:
        return EsClassText(EsClass::MeteorScatter);
    case Propagation::Aurora:
        return EsClassText(EsClass::Aurora);
    case Propagation::OtherMode:
        return "another mode, not Es";
    }
    return "";
}

EsClass ClassifySpot(std::optional<spot::Band> band, Propagation propagation, double distanceKm,
                     const ClassifierSettings &settings) {
    if (!band) {
        return EsClass::OtherBand;
    }
    switch (propagation) {
    case Propagation::MeteorScatter:
        return EsClass::MeteorScatter;
    case Propagation::Aurora:
        return EsClass::Aurora;
    case Propagation::OtherMode:
        return EsClass::OtherMode;
    case Propagation::Es:
        break;
    }
    if (!(distanceKm >= settings.MinDistanceKm[spot::BandIndex(*band)])) {
        return EsClass::TooShort;
    }
    if (distanceKm > settings.MaxDistanceKm) {
        return EsClass::MultiHop;
    }
    return EsClass::Counted;
}

} // namespace ionvane::tracker

// Which spots tell of a sporadic-E cloud: on a band the tracker follows, not meteor scatter, aurora
// or another mode by its tag, its comment or its operating mode, over a path long enough for Es
// and short enough for one hop, and on 2 m either tagged Es or under a cloud 6 m or 4 m confirms.
#pragma once

#include "spot/band.h"
#include "spot/mode_tags.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace ionvane::tracker {

/// What a spot with two locators is to the tracker.
enum class EsClass {
    Counted,       ///< one Es hop: places a cloud
    MultiHop,      ///< longer than one hop: listed, places no cloud
    TooShort,      ///< shorter than Es reaches on its band: tropo, meteor scatter, ground wave
    OtherMode,     ///< tagged with another propagation mode (TR, EME ...) or a mode word (Q65)
    OtherBand,     ///< not on 10, 6, 4 or 2 m
    NoResult,      ///< the calculation stopped at an error (a bad locator, a bad home locator)
    MeteorScatter, ///< meteor scatter by its tag, a comment word or its mode (MSK144, FSK441)
    Aurora,        ///< aurora by its tag or its report (AU, 59A)
    Unconfirmed,   ///< 2 m without an Es tag, and no 6 m or 4 m Es under its cloud yet
};

/// "es", "multi-hop", "too-short", "other-mode", "other-band", "no-result", "meteor-scatter",
/// "aurora", "unconfirmed".
std::string_view EsClassName(EsClass esClass);

/// How the tracker lists a spot that places no cloud for a reason of its own ("2 m, unconfirmed
/// (no 6 m or 4 m Es under it)"); empty for the other classes.
std::string_view EsClassText(EsClass esClass);

using spot::FindPropagation;
using spot::Propagation;
using spot::PropagationFinding;

/// "meteor scatter, not Es", "aurora, not Es", "another mode, not Es"; empty for Es.
std::string_view PropagationText(Propagation propagation);

/// The user's limits of an Es path.
struct ClassifierSettings {
    /// Shortest Es path per band (BandIndex order), km. A higher frequency is reflected only at a
    /// flatter incidence (the secant law), so its shortest Es skip is longer; a shorter contact on
    /// the band is tropo, scatter or ground wave. The usual figures of Es chasers: 10 m 400,
    /// 6 m 500, 4 m 600, 2 m 900.
    std::array<double, spot::BandCount> MinDistanceKm = {400, 500, 600, 900};
    /// Longest single Es hop, km: the geometry of one reflection at about 110 km grazes the
    /// horizon near 2,400 km, the same cap the critical frequency is computed with.
    double MaxDistanceKm = 2400;
};

/// The class of a spot on `band` (none: off the followed bands) naming `propagation` over a path
/// of `distanceKm`. The distance limits include their ends: 500.00 km on 6 m counts. A spot that
/// would count is Counted here; whether a 2 m one is confirmed is the cloud tracker's to say.
EsClass ClassifySpot(std::optional<spot::Band> band, Propagation propagation, double distanceKm,
                     const ClassifierSettings &settings);

} // namespace ionvane::tracker

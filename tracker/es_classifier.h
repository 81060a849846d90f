// Which spots tell of a sporadic-E cloud: on a band the tracker follows, with an Es tag or none,
// and over a path long enough for Es and short enough for one hop.
#pragma once

#include "band.h"

#include <array>
#include <optional>
#include <string_view>

namespace ionvane::tracker {

/// What a spot with two locators is to the tracker.
enum class EsClass {
    Counted,   ///< one Es hop: places a cloud
    MultiHop,  ///< longer than one hop: listed, places no cloud
    TooShort,  ///< shorter than Es reaches on its band: tropo, meteor scatter, ground wave
    OtherMode, ///< tagged with another propagation mode (TR, MS, AU ...)
    OtherBand, ///< not on 10, 6, 4 or 2 m
    NoResult,  ///< the calculation stopped at an error (a bad locator, a bad home locator)
};

/// "es", "multi-hop", "too-short", "other-mode", "other-band", "no-result".
std::string_view EsClassName(EsClass esClass);

/// The user's limits of an Es path.
struct ClassifierSettings {
    /// Shortest Es path per band (BandIndex order), km. A higher frequency is reflected only at a
    /// flatter incidence (the secant law), so its shortest Es skip is longer; a shorter contact on
    /// the band is tropo, scatter or ground wave. The usual figures of Es chasers: 10 m 400,
    /// 6 m 500, 4 m 600, 2 m 900.
    std::array<double, BandCount> MinDistanceKm = {400, 500, 600, 900};
    /// Longest single Es hop, km: the geometry of one reflection at about 110 km grazes the
    /// horizon near 2,400 km, the same cap the critical frequency is computed with.
    double MaxDistanceKm = 2400;
};

/// The class of a spot on `band` (none: off the followed bands) with tag `tag` (Es as the spot
/// reader tells it) over a path of `distanceKm`. The distance limits include their ends: 500.00 km
/// on 6 m counts.
EsClass ClassifySpot(std::optional<Band> band, std::string_view tag, double distanceKm,
                     const ClassifierSettings &settings);

} // namespace ionvane::tracker

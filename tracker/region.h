// Which bands a home follows and alarms on by default, from the ITU region it lies in: 4 m is an
// amateur band in parts of ITU Region 1 only.
#pragma once

#include "calc/earth.h"
#include "spot/band.h"

namespace ionvane::tracker {

/// Whether a point lies in ITU Region 1 (Europe, Africa, the Middle East west of the Gulf, Russia,
/// the Caucasus, Central Asia and Mongolia): east of the boundary line B through the Atlantic and
/// west of line A through the Arabian Sea, or in the northern part of Asia. The Asian border is
/// followed to within a degree or two; a home right on it may get the other region's defaults and
/// can change them.
bool InItuRegion1(const calc::Position &point);

/// The bands a home shows and the lowest band it alarms on.
struct BandChoice {
    spot::BandSet Shown = 0;
    spot::Band AlarmFrom = spot::Band::M6;
};

/// Region 1: 10, 6, 4 and 2 m shown, alarms from 4 m up. Elsewhere 4 m is no amateur band: 10, 6
/// and 2 m shown, alarms from 6 m up.
BandChoice RegionDefaults(const calc::Position &home);

} // namespace ionvane::tracker

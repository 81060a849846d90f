// The band verdicts from the clouds: which clouds carry each band from home, how the band stands
// and which cloud heads it.
#pragma once

#include "tracker_events.h"

#include <array>
#include <vector>

namespace ionvane::tracker {

/// A band is marginal when the best frequency of traffic reaches this share of its lower edge
/// (within 5% below it): an Es cloud's critical frequency rises and falls by that much within
/// minutes, so such a band is worth watching.
constexpr double MarginalShareOfEdge = 0.95;

/// One live cloud as the verdicts see it.
struct CloudCandidate {
    CloudFromHome FromHome; ///< the frequency of traffic the highest its spots give
    std::array<int, spot::BandCount> SpotsOnBand{}; ///< its recent spots per band, BandIndex order
};

/// The verdict of every band in `shown` (the others are closed) from the live clouds. A cloud
/// counts when its home path is above the horizon (elevation 0.00 included) and no longer than
/// `maxHopKm`. A band is possible when some cloud's frequency of traffic reaches its lower edge,
/// marginal when the best reaches MarginalShareOfEdge of it, else closed. The clouds that carry
/// it (for a marginal band, that reach the margin) are ranked by their spots on that band, then
/// by frequency of traffic, then by age (the older first); the first is the headline.
std::array<BandVerdict, spot::BandCount> JudgeBands(const std::vector<CloudCandidate> &clouds,
                                                    double maxHopKm, spot::BandSet shown);

/// Whether two verdicts of a band look the same to the user: the same state, and for every cloud
/// named the same try-towards locator, beam to the whole degree and frequency of traffic to
/// 0.1 MHz, in the same order.
bool LooksTheSame(const BandVerdict &a, const BandVerdict &b);

/// What the band's headline cloud gives from home, in the words the alarm, the window's banner and
/// its rows all use: whether the band was heard through it (its own Es spots of the last 15
/// minutes) or is predicted from another band, the beam, the distance to the reflection point and
/// the try-towards locator; the model's figure as an estimate, and a grazing path noted:
/// "(heard, 5 Es spots): beam 125, 1,380 km, towards KM06BL; model estimate MUF 146.6 MHz",
/// "(predicted from 2 m, none heard yet): beam 257, 1,380 km, towards IM77WC; model estimate MUF
/// 70.2 MHz; grazing path, 0.4 deg elevation". Empty for a band without a headline cloud.
std::string HeadlineWords(const BandVerdict &verdict);

/// The alarm's words: the band, "OPEN" and its HeadlineWords.
std::string AlarmText(const BandVerdict &verdict);

} // namespace ionvane::tracker

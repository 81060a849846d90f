// What the tracker reports: plain values, turned into JSON or widgets by whoever shows them.
#pragma once

#include "spot/band.h"
#include "spot_calculation.h"

#include "calc/earth.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace ionvane::tracker {

/// Time in whole seconds since 1970-01-01T00:00:00Z (UTC, no leap seconds).
using UnixSeconds = std::int64_t;

/// A cloud's movement from a straight-line fit over its recent centres.
struct Drift {
    double SpeedKmh = 0;
    double TowardsDeg = 0; ///< true bearing of the movement, 0 up to 360
};

/// Where a drifting cloud will be in 15 minutes, seen from home.
struct Nowcast {
    std::string Loc;    ///< the locator of its position then
    double BeamDeg = 0; ///< the beam from home towards it, true bearing
};

/// A cloud as it is reported.
struct CloudSnapshot {
    int Id = 0;
    double LatDeg = 0;
    double LonDeg = 0;
    std::string CentreLoc;   ///< the locator of the position
    int Spots = 0;           ///< spots that joined the cloud since it was first seen
    spot::BandSet Bands = 0; ///< bands of its recent spots
    double CriticalFreqMHz = 0;
    double HighestFreqMHz = 0;
    UnixSeconds FirstSeen = 0;
    UnixSeconds LastSeen = 0;
    std::optional<Drift> Movement;
    std::optional<Nowcast> In15Min; ///< with a drift only
};

enum class CloudState { New, Update, Fading, Gone };

/// "new", "update", "fading", "gone".
const char *CloudStateName(CloudState state);

struct CloudEvent {
    UnixSeconds Time = 0;
    CloudState State = CloudState::New;
    CloudSnapshot Cloud;
};

/// How a band stands from home: possible (some cloud carries it), marginal (the best cloud gives
/// within 5% below the band's lower edge) or closed.
enum class VerdictState { Closed, Marginal, Possible };

/// "closed", "marginal", "possible".
const char *VerdictStateName(VerdictState state);

/// One cloud as seen from home: the home path through its position and the frequency of traffic.
struct CloudFromHome {
    int CloudId = 0;
    HomeFigures Home;
    /// Its Es spots of the recent stretch (15 minutes) per band, BandIndex order: what was heard.
    std::array<int, spot::BandCount> Heard{};
    /// The band of the report its agreed figure comes from: a band not heard is predicted from it.
    spot::Band AgreedFrom = spot::Band::M6;
    friend bool operator==(const CloudFromHome &, const CloudFromHome &) = default;
};

/// Whether one band can be worked from home, and through which clouds.
struct BandVerdict {
    spot::Band Which = spot::Band::M10;
    VerdictState State = VerdictState::Closed;
    std::optional<int> CloudId; ///< the headline cloud; none when closed
    HomeFigures Home;           ///< the try-towards figures through it
    /// Every cloud that carries the band (for a marginal band, every one within the margin),
    /// best first: the headline, then by spots on the band and by frequency of traffic.
    std::vector<CloudFromHome> Via;

    [[nodiscard]] bool Possible() const { return State == VerdictState::Possible; }
    /// The band's own Es spots through the headline cloud in the last 15 minutes.
    [[nodiscard]] int Heard() const {
        return Via.empty() ? 0 : Via.front().Heard[spot::BandIndex(Which)];
    }
};

/// Spots of one band over two Es hops towards one far region, with the two reflection points of
/// the latest of them. Evidence only: it sets no verdict and raises no alarm.
struct DoubleHopEvidence {
    spot::Band Which = spot::Band::M6;
    std::string Region; ///< "the Caribbean"
    int Spots = 0;
    UnixSeconds Last = 0;
    calc::Position NearHop; ///< the reflection point nearer home
    calc::Position FarHop;
    std::string Text; ///< "6 m double hop to the Caribbean, 42 spots, last 19:53"
};

/// A home path below this elevation grazes the horizon, degrees: a station in the open with a
/// long yagi may make it, most homes with trees and roofs around will not.
constexpr double GrazingBelowDeg = 1;

/// Whether the path from home leaves at a grazing elevation.
inline bool Grazing(const HomeFigures &home) {
    return home.ElevationDeg < GrazingBelowDeg;
}

struct VerdictEvent {
    UnixSeconds Time = 0;
    std::string HomeLocator;
    spot::BandSet Shown = 0; ///< the bands the user follows; the others are listed closed
    std::array<BandVerdict, spot::BandCount> Bands{};
    std::vector<DoubleHopEvidence> DoubleHop{}; ///< by band, then region; empty when none is heard
};

struct AlarmEvent {
    UnixSeconds Time = 0;
    spot::Band Which = spot::Band::M2;
    int CloudId = 0;
    std::string Text;
    HomeFigures Home{}; ///< the try-towards figures through the cloud
    int Heard = 0;      ///< the band's own Es spots through the cloud in the last 15 minutes
};

using TrackerEvent = std::variant<CloudEvent, VerdictEvent, AlarmEvent>;

} // namespace ionvane::tracker

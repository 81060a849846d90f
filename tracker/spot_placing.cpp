// The parts of the spot pipeline that go beyond a spot's own locators: placing its calls from the
// grid memory and the country file, learning the grids a cluster line gives, and the double hop.
#include "spot_pipeline.h"

#include "calc/ascii.h"
#include "calc/locator.h"
#include "places/call_sign.h"
#include "spot/spot_reader.h"

#include <algorithm>

namespace ionvane::tracker {

namespace {

calc::Position PositionOf(std::string_view locator) {
    return calc::DecodeLocator(spot::CompletedLocator(calc::UpperCaseAscii(locator)));
}

// Whether the country file puts `call` where `locator` is: within its place's uncertainty and a
// margin of LearnMarginKm.
bool CountryAgrees(const places::CountryFile &countries, std::string_view call,
                   std::string_view locator) {
    // Beyond the place's own uncertainty: a station near a border, or a centre off in a corner.
    constexpr double LearnMarginKm = 200;
    const auto place = countries.Find(places::StationCall(call));
    return place && DistanceKm({place->LatDeg, place->LonDeg}, PositionOf(locator)) <=
                        place->UncertaintyKm + LearnMarginKm;
}

} // namespace

void SpotPipeline::LearnFromCluster(UnixSeconds time, const spot::Spot &read) {
    if (!UseGridMemory) {
        return;
    }
    if (read.SpotterGrid.empty()) {
        // "IM76<ES>JN61" without a grid after the time: spotters mostly write their own locator
        // first, but not all; the pair is learnt only where the country file agrees with it.
        if (Countries == nullptr || read.FromLoc.empty() || read.ToLoc.empty()) {
            return;
        }
        for (const auto &[fromCall, toCall] :
             {std::pair{read.Spotter, read.DxCall}, std::pair{read.DxCall, read.Spotter}}) {
            if (CountryAgrees(*Countries, fromCall, read.FromLoc) &&
                CountryAgrees(*Countries, toCall, read.ToLoc)) {
                Memory.Learn(fromCall, read.FromLoc, time);
                Memory.Learn(toCall, read.ToLoc, time);
                return;
            }
        }
        return;
    }
    // The grid after the time is the spotter's own (CC11, and "DX de" lines of many nodes).
    Memory.Learn(read.Spotter, read.SpotterGrid, time);
    // "DX de PA0FLT: 50313 EA8URL JN48<ES>IL18 1316Z JN48": with From the spotter's own grid, To
    // is the DX call's.
    if (!read.ToLoc.empty() &&
        spot::CompletedLocator(read.FromLoc) == spot::CompletedLocator(read.SpotterGrid)) {
        Memory.Learn(read.DxCall, read.ToLoc, time);
    }
}

std::optional<std::pair<spot::Spot, SpotPlacing>>
SpotPipeline::PlaceFromCalls(UnixSeconds time, const spot::Spot &read) const {
    if ((!UseGridMemory && Countries == nullptr) || read.DxCall.empty() || read.Spotter.empty()) {
        return std::nullopt;
    }
    const places::GridMemory *memory = UseGridMemory ? &Memory : nullptr;
    std::optional<places::EndPlace> from;
    std::optional<places::EndPlace> to;
    if (!read.SpotterGrid.empty()) {
        from = places::LocatorPlace(read.SpotterGrid);
    } else {
        from = places::CallPlace(read.Spotter, time, memory, Countries);
    }
    const std::optional<places::EndPlace> dx =
        places::CallPlace(read.DxCall, time, memory, Countries);
    if (!read.FromLoc.empty() && read.SpotterGrid.empty()) {
        // The one locator of the comment ("EA8URL JN48 tnx") is the DX call's, unless the
        // spotter's own place lies nearer to it.
        const calc::Position given = PositionOf(read.FromLoc);
        const bool spotters = from && dx &&
                              DistanceKm(given, PositionOf(from->Locator)) <
                                  DistanceKm(given, PositionOf(dx->Locator));
        if (spotters) {
            from = places::LocatorPlace(read.FromLoc);
            to = dx;
        } else {
            to = places::LocatorPlace(read.FromLoc);
        }
    } else {
        to = dx;
    }
    if (!from || !to ||
        spot::CompletedLocator(from->Locator) == spot::CompletedLocator(to->Locator)) {
        return std::nullopt;
    }
    spot::Spot placed = read;
    placed.FromLoc = from->Locator;
    placed.ToLoc = to->Locator;
    return std::pair{placed, SpotPlacing{*from, *to}};
}

void SpotPipeline::DoubleHop(UnixSeconds time, const spot::Spot &spot, bool precise,
                             LineResult &result, std::vector<TrackerEvent> &events) {
    const SpotFigures &figures = result.Run.Figures;
    if (!figures.Completed || !IsDoubleHop(result.SpotBand, figures.DistanceKm)) {
        return;
    }
    const calc::Position from = PositionOf(spot.FromLoc);
    const calc::Position to = PositionOf(spot.ToLoc);
    const calc::Position home = calc::DecodeLocator(figures.HomeLocator);
    const bool fromNearer = DistanceKm(home, from) <= DistanceKm(home, to);
    const calc::Position &nearEnd = fromNearer ? from : to;
    const calc::Position &farEnd = fromNearer ? to : from;
    DoubleHops.Add(time, *result.SpotBand, nearEnd, farEnd);
    DoubleHopChanged = true;
    if (!precise || result.Class == EsClass::Counted) {
        return;
    }
    // Each hop is reflected at its own point, with the MUF of its own half of the path: the MUF
    // layer shows both; a reflection point within a live cloud also supports it, as a one-hop
    // spot over that half of the path would, but alone starts no cloud.
    const auto [nearHop, farHop] = HopPoints(nearEnd, farEnd);
    const calc::Position middle = MiddleOf(nearEnd, farEnd);
    const std::string middleLoc = calc::EncodeLocator(middle.LatDeg, middle.LonDeg);
    const std::vector<CloudEvent> clouds = Tracker.CurrentClouds();
    for (const auto &hopAndEnd : {std::pair{nearHop, nearEnd}, std::pair{farHop, farEnd}}) {
        // Named, not bound: a lambda cannot capture a structured binding under every compiler.
        const calc::Position &hop = hopAndEnd.first;
        const calc::Position &end = hopAndEnd.second;
        const SpotRun half = Calculator.Run(calc::EncodeLocator(end.LatDeg, end.LonDeg), middleLoc,
                                            spot.FreqMHzText, spot.FreqMHz);
        if (!half.Figures.Completed) {
            continue;
        }
        result.Reflections.push_back({hop, half.Figures.PathMufMHz});
        const bool inCloud = std::any_of(clouds.begin(), clouds.end(), [&](const CloudEvent &c) {
            return c.State == CloudState::New &&
                   DistanceKm(hop, {c.Cloud.LatDeg, c.Cloud.LonDeg}) <= JoinRadiusKm;
        });
        if (!inCloud) {
            continue;
        }
        const TrackedSpot tracked{*result.SpotBand,
                                  spot.FreqMHz,
                                  half.Figures.CentreLatDeg,
                                  half.Figures.CentreLonDeg,
                                  half.Figures.CriticalFreqMHz,
                                  half.Figures.PathMufMHz,
                                  false};
        const Placement placed = Tracker.AddSpot(time, tracked, events);
        if (!result.CloudId) {
            result.CloudId = placed.CloudId;
        }
    }
}

void SpotPipeline::ListDoubleHops(std::size_t first, std::vector<TrackerEvent> &events) {
    std::vector<DoubleHopEvidence> listing = DoubleHops.Listing();
    bool verdictSeen = false;
    for (std::size_t i = first; i < events.size(); ++i) {
        if (auto *verdict = std::get_if<VerdictEvent>(&events[i])) {
            verdict->DoubleHop = listing;
            verdictSeen = true;
        }
    }
    if (DoubleHopChanged && !verdictSeen) {
        VerdictEvent verdict = Tracker.CurrentVerdict();
        verdict.DoubleHop = std::move(listing);
        events.emplace_back(std::move(verdict));
    }
    DoubleHopChanged = false;
}

} // namespace ionvane::tracker

#include "verdict.h"

#include "calc/number_text.h"

#include <algorithm>
#include <cmath>

namespace ionvane::tracker {

namespace {

constexpr int FullTurnDeg = 360;

// The beam as the user reads it: whole degrees, north as 0 rather than 360.
long BeamDeg(double azimuthDeg) {
    return std::lround(azimuthDeg) % FullTurnDeg;
}

// The frequency of traffic as the user reads it, in tenths of a MHz.
long TenthsMHz(float trafficFreqMHz) {
    constexpr double TenthsPerMHz = 10;
    return std::lround(static_cast<double>(trafficFreqMHz) * TenthsPerMHz);
}

bool SameToTheUser(const HomeFigures &a, const HomeFigures &b) {
    return a.TowardsLoc == b.TowardsLoc && BeamDeg(a.AzimuthDeg) == BeamDeg(b.AzimuthDeg) &&
           TenthsMHz(a.TrafficFreqMHz) == TenthsMHz(b.TrafficFreqMHz);
}

} // namespace

std::array<BandVerdict, BandCount> JudgeBands(const std::vector<CloudCandidate> &clouds,
                                              double maxHopKm, BandSet shown) {
    std::vector<const CloudCandidate *> usable;
    for (const CloudCandidate &cloud : clouds) {
        const HomeFigures &home = cloud.FromHome.Home;
        if (home.ElevationDeg >= 0 && home.DistanceKm <= maxHopKm &&
            std::isfinite(home.TrafficFreqMHz)) {
            usable.push_back(&cloud);
        }
    }
    std::array<BandVerdict, BandCount> verdicts{};
    for (const Band band : AllBands) {
        BandVerdict &verdict = verdicts[BandIndex(band)];
        verdict.Which = band;
        if ((shown & BandBit(band)) == 0) {
            continue;
        }
        const double edgeMHz = EdgesOf(band).LowMHz;
        const auto reaching = [&](double thresholdMHz) {
            std::vector<const CloudCandidate *> found;
            for (const CloudCandidate *cloud : usable) {
                if (static_cast<double>(cloud->FromHome.Home.TrafficFreqMHz) >= thresholdMHz) {
                    found.push_back(cloud);
                }
            }
            return found;
        };
        std::vector<const CloudCandidate *> via = reaching(edgeMHz);
        verdict.State = VerdictState::Possible;
        if (via.empty()) {
            via = reaching(edgeMHz * MarginalShareOfEdge);
            verdict.State = via.empty() ? VerdictState::Closed : VerdictState::Marginal;
        }
        const std::size_t index = BandIndex(band);
        std::stable_sort(
            via.begin(), via.end(), [index](const CloudCandidate *a, const CloudCandidate *b) {
                if (a->SpotsOnBand[index] != b->SpotsOnBand[index]) {
                    return a->SpotsOnBand[index] > b->SpotsOnBand[index];
                }
                return a->FromHome.Home.TrafficFreqMHz > b->FromHome.Home.TrafficFreqMHz;
            });
        for (const CloudCandidate *cloud : via) {
            verdict.Via.push_back(cloud->FromHome);
        }
        if (!via.empty()) {
            verdict.CloudId = via.front()->FromHome.CloudId;
            verdict.Home = via.front()->FromHome.Home;
        }
    }
    return verdicts;
}

bool LooksTheSame(const BandVerdict &a, const BandVerdict &b) {
    if (a.State != b.State || a.CloudId != b.CloudId || a.Via.size() != b.Via.size()) {
        return false;
    }
    if (a.CloudId && !SameToTheUser(a.Home, b.Home)) {
        return false;
    }
    for (std::size_t i = 0; i < a.Via.size(); ++i) {
        if (a.Via[i].CloudId != b.Via[i].CloudId || !SameToTheUser(a.Via[i].Home, b.Via[i].Home)) {
            return false;
        }
    }
    return true;
}

std::string AlarmText(const BandVerdict &verdict) {
    constexpr int AlarmFreqDecimals = 1;
    return std::string(BandInWords(verdict.Which)) + " OPEN beam " +
           std::to_string(BeamDeg(verdict.Home.AzimuthDeg)) + " towards " +
           verdict.Home.TowardsLoc + ", up to " +
           calc::FormatFixed(static_cast<double>(verdict.Home.TrafficFreqMHz), AlarmFreqDecimals,
                             calc::PlainNumberFormat()) +
           " MHz";
}

} // namespace ionvane::tracker

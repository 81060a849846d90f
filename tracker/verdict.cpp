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

// A distance in whole km with thousands grouped by commas, as hams write it: "1,380".
std::string GroupedKm(double distanceKm) {
    constexpr int GroupDigits = 3;
    const std::string digits = std::to_string(std::lround(distanceKm));
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const std::size_t left = digits.size() - i;
        if (i > 0 && digits[i - 1] != '-' && left % GroupDigits == 0) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    return grouped;
}

bool SameToTheUser(const HomeFigures &a, const HomeFigures &b) {
    return a.TowardsLoc == b.TowardsLoc && BeamDeg(a.AzimuthDeg) == BeamDeg(b.AzimuthDeg) &&
           TenthsMHz(a.TrafficFreqMHz) == TenthsMHz(b.TrafficFreqMHz);
}

} // namespace

std::array<BandVerdict, spot::BandCount> JudgeBands(const std::vector<CloudCandidate> &clouds,
                                                    double maxHopKm, spot::BandSet shown) {
    std::vector<const CloudCandidate *> usable;
    for (const CloudCandidate &cloud : clouds) {
        const HomeFigures &home = cloud.FromHome.Home;
        if (home.ElevationDeg >= 0 && home.DistanceKm <= maxHopKm &&
            std::isfinite(home.TrafficFreqMHz)) {
            usable.push_back(&cloud);
        }
    }
    std::array<BandVerdict, spot::BandCount> verdicts{};
    for (const spot::Band band : spot::AllBands) {
        BandVerdict &verdict = verdicts[spot::BandIndex(band)];
        verdict.Which = band;
        if ((shown & spot::BandBit(band)) == 0) {
            continue;
        }
        const double edgeMHz = spot::EdgesOf(band).LowMHz;
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
        const std::size_t index = spot::BandIndex(band);
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

std::string HeadlineWords(const BandVerdict &verdict) {
    if (!verdict.CloudId || verdict.Via.empty()) {
        return {};
    }
    constexpr int EstimateDecimals = 1;
    constexpr int ElevationDecimals = 1;
    const HomeFigures &home = verdict.Home;
    const int heard = verdict.Heard();
    std::string words = "(";
    if (heard > 0) {
        words += "heard, " + std::to_string(heard) + (heard == 1 ? " Es spot" : " Es spots");
    } else {
        words += "predicted from " +
                 std::string(spot::BandInWords(verdict.Via.front().AgreedFrom)) +
                 ", none heard yet";
    }
    words += "): beam " + std::to_string(BeamDeg(home.AzimuthDeg)) + ", " +
             GroupedKm(home.DistanceKm) + " km, towards " + home.TowardsLoc +
             "; model estimate MUF " +
             calc::FormatFixed(static_cast<double>(home.TrafficFreqMHz), EstimateDecimals,
                               calc::PlainNumberFormat()) +
             " MHz";
    if (Grazing(home)) {
        words +=
            "; grazing path, " +
            calc::FormatFixed(home.ElevationDeg, ElevationDecimals, calc::PlainNumberFormat()) +
            " deg elevation";
    }
    return words;
}

std::string AlarmText(const BandVerdict &verdict) {
    return std::string(spot::BandInWords(verdict.Which)) + " OPEN " + HeadlineWords(verdict);
}

} // namespace ionvane::tracker

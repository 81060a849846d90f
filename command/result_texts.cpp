#include "result_texts.h"

#include <algorithm>

namespace ionvane::command {

using calc::ShownDecimals;

namespace {

// The pieces joined into `out`, in the room it already has where that is enough: a label written
// on every run keeps its buffer.
void Concat(std::string &out, std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (auto piece : pieces) {
        size += piece.size();
    }
    out.resize(size);
    char *next = out.data();
    for (auto piece : pieces) {
        next = std::copy(piece.begin(), piece.end(), next);
    }
}
} // namespace

void SpottedPathText(std::string &out, std::string_view fromLoc, std::string_view toLoc,
                     float freqMHz, const calc::NumberFormat &format) {
    Concat(out,
           {"es from ", fromLoc, " to ", toLoc, " on ", calc::SingleText(freqMHz, format), "mhz"});
}

void GeometryText(std::string &out, std::string_view bearingText, std::string_view elevationText,
                  std::string_view distanceText) {
    Concat(out, {"(Azimuth = ", bearingText, ")   (Elevation = ", elevationText,
                 "deg)   (Distance = ", distanceText, "km)"});
}

void CentreText(std::string &out, std::string_view centreLoc, double criticalFreqMHz,
                double pathMufMHz, const calc::NumberFormat &format) {
    Concat(out, {"Centre of path = ", centreLoc, "  ",
                 "Critical Freq = ", calc::FormatFixed(criticalFreqMHz, ShownDecimals, format),
                 "  ", "MUF = ", calc::FormatFixed(pathMufMHz, ShownDecimals, format), "mhz"});
}

void TryTowardsText(std::string &out, std::string_view homeLoc, std::string_view towardsLoc) {
    Concat(out, {"From ", homeLoc, " try towards ", towardsLoc});
}

void ResultTitle(std::string &out, double pathMufMHz, std::string_view towardsLoc,
                 const calc::NumberFormat &format) {
    Concat(out, {"MUF = ", calc::FormatFixed(pathMufMHz, ShownDecimals, format),
                 "mhz,  try towards ", towardsLoc});
}

void TrafficText(std::string &out, propagation::HorizonAdvice advice, double pathMufMHz,
                 float trafficFreqMHz, const calc::NumberFormat &format) {
    using propagation::HorizonAdvice;
    switch (advice) {
    case HorizonAdvice::MultipleHops:
        out = "Below horizon, multiple hops needed?";
        return;
    case HorizonAdvice::ChordalHop:
        out = "Below horizon, look for chordial hop maybe?";
        return;
    case HorizonAdvice::TropoChordal:
        Concat(out, {"Below horizon, try tropo/chordial, frequency of traffic = ",
                     calc::FormatFixed(pathMufMHz, ShownDecimals, format), "mhz"});
        return;
    case HorizonAdvice::TrafficFrequency:
        break;
    }
    Concat(out,
           {"Frequency of traffic = ",
            calc::FormatFixed(static_cast<double>(trafficFreqMHz), ShownDecimals, format), "mhz"});
}

void ErrorText(std::string &out, std::string_view message) {
    Concat(out, {"ERROR!! ", message});
}

} // namespace ionvane::command

#include "result_texts.h"

namespace ionvane::command {

using calc::ShownDecimals;

namespace {

// The pieces written over `out`, in the room it already has: a label written on every run keeps
// its buffer, so no text of a run allocates once the labels have grown to their usual length.
void Assign(std::string &out, std::initializer_list<std::string_view> pieces) {
    out.clear();
    for (auto piece : pieces) {
        out.append(piece);
    }
}

} // namespace

void SpottedPathText(std::string &out, std::string_view fromLoc, std::string_view toLoc,
                     float freqMHz, const calc::NumberFormat &format) {
    Assign(out, {"es from ", fromLoc, " to ", toLoc, " on "});
    calc::AppendSingle(out, freqMHz, format);
    out.append("mhz");
}

void GeometryText(std::string &out, std::string_view bearingText, std::string_view elevationText,
                  std::string_view distanceText) {
    Assign(out, {"(Azimuth = ", bearingText, ")   (Elevation = ", elevationText,
                 "deg)   (Distance = ", distanceText, "km)"});
}

void MufText(std::string &out, double pathMufMHz, const calc::NumberFormat &format) {
    out.clear();
    calc::AppendFixed(out, pathMufMHz, ShownDecimals, format);
}

void CentreText(std::string &out, std::string_view centreLoc, double criticalFreqMHz,
                std::string_view pathMufText, const calc::NumberFormat &format) {
    Assign(out, {"Centre of path = ", centreLoc, "  Critical Freq = "});
    calc::AppendFixed(out, criticalFreqMHz, ShownDecimals, format);
    out.append("  MUF = ");
    out.append(pathMufText);
    out.append("mhz");
}

void TryTowardsText(std::string &out, std::string_view homeLoc, std::string_view towardsLoc) {
    Assign(out, {"From ", homeLoc, " try towards ", towardsLoc});
}

void ResultTitle(std::string &out, std::string_view pathMufText, std::string_view towardsLoc) {
    Assign(out, {"MUF = ", pathMufText, "mhz,  try towards ", towardsLoc});
}

void TrafficText(std::string &out, propagation::HorizonAdvice advice, std::string_view pathMufText,
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
        Assign(out,
               {"Below horizon, try tropo/chordial, frequency of traffic = ", pathMufText, "mhz"});
        return;
    case HorizonAdvice::TrafficFrequency:
        break;
    }
    out.assign("Frequency of traffic = ");
    calc::AppendFixed(out, static_cast<double>(trafficFreqMHz), ShownDecimals, format);
    out.append("mhz");
}

void ErrorText(std::string &out, std::string_view message) {
    Assign(out, {"ERROR!! ", message});
}

} // namespace ionvane::command

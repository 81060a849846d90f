#include "result_texts.h"

namespace ionvane::window {

using calc::ShownDecimals;

namespace {

std::string Concat(std::initializer_list<std::string_view> pieces) {
    std::size_t size = 0;
    for (auto piece : pieces) {
        size += piece.size();
    }
    std::string out;
    out.reserve(size);
    for (auto piece : pieces) {
        out += piece;
    }
    return out;
}
} // namespace

std::string SpottedPathText(std::string_view fromLoc, std::string_view toLoc, float freqMHz,
                            const calc::NumberFormat &format) {
    return Concat(
        {"es from ", fromLoc, " to ", toLoc, " on ", calc::SingleText(freqMHz, format), "mhz"});
}

std::string GeometryText(std::string_view bearingText, std::string_view elevationText,
                         std::string_view distanceText) {
    return Concat({"(Azimuth = ", bearingText, ")   (Elevation = ", elevationText,
                   "deg)   (Distance = ", distanceText, "km)"});
}

std::string CentreText(std::string_view centreLoc, double criticalFreqMHz, double pathMufMHz,
                       const calc::NumberFormat &format) {
    return Concat({"Centre of path = ", centreLoc, "  ",
                   "Critical Freq = ", calc::FormatFixed(criticalFreqMHz, ShownDecimals, format),
                   "  ", "MUF = ", calc::FormatFixed(pathMufMHz, ShownDecimals, format), "mhz"});
}

std::string TryTowardsText(std::string_view homeLoc, std::string_view towardsLoc) {
    return Concat({"From ", homeLoc, " try towards ", towardsLoc});
}

std::string ResultTitle(double pathMufMHz, std::string_view towardsLoc,
                        const calc::NumberFormat &format) {
    return Concat({"MUF = ", calc::FormatFixed(pathMufMHz, ShownDecimals, format),
                   "mhz,  try towards ", towardsLoc});
}

std::string TrafficText(propagation::HorizonAdvice advice, double pathMufMHz, float trafficFreqMHz,
                        const calc::NumberFormat &format) {
    using propagation::HorizonAdvice;
    switch (advice) {
    case HorizonAdvice::MultipleHops:
        return "Below horizon, multiple hops needed?";
    case HorizonAdvice::ChordalHop:
        return "Below horizon, look for chordial hop maybe?";
    case HorizonAdvice::TropoChordal:
        return Concat({"Below horizon, try tropo/chordial, frequency of traffic = ",
                       calc::FormatFixed(pathMufMHz, ShownDecimals, format), "mhz"});
    case HorizonAdvice::TrafficFrequency:
        break;
    }
    return Concat({"Frequency of traffic = ",
                   calc::FormatFixed(static_cast<double>(trafficFreqMHz), ShownDecimals, format),
                   "mhz"});
}

std::string ErrorText(std::string_view message) {
    return Concat({"ERROR!! ", message});
}

} // namespace ionvane::window

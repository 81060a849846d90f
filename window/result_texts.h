// The wording of every result line and of the result title. Units follow their number directly,
// in lower case ("mhz", "km)", "deg)").
#pragma once

#include "calc/number_text.h"
#include "propagation/es_layer.h"

#include <string>
#include <string_view>

namespace ionvane::window {

/// "es from IO90IR to JN77EX on 50.1mhz"
std::string SpottedPathText(std::string_view fromLoc, std::string_view toLoc, float freqMHz,
                            const calc::NumberFormat &format);

/// "(Azimuth = 99.52)   (Elevation = 7.88deg)   (Distance = 1,172.77km)"
std::string GeometryText(std::string_view bearingText, std::string_view elevationText,
                         std::string_view distanceText);

/// "Centre of path = JN39JO  Critical Freq = 11.40  MUF = 62.96mhz"
std::string CentreText(std::string_view centreLoc, double criticalFreqMHz, double pathMufMHz,
                       const calc::NumberFormat &format);

/// "From IO90IR try towards JN77EX"
std::string TryTowardsText(std::string_view homeLoc, std::string_view towardsLoc);

/// "MUF = 62.96mhz,  try towards JN77EX"
std::string ResultTitle(double pathMufMHz, std::string_view towardsLoc,
                        const calc::NumberFormat &format);

/// The traffic line: the advice, quoting the spotted path's MUF for a tropo or chordal path and
/// the frequency of traffic for a path above the horizon.
std::string TrafficText(propagation::HorizonAdvice advice, double pathMufMHz, float trafficFreqMHz,
                        const calc::NumberFormat &format);

/// "ERROR!! " and the message.
std::string ErrorText(std::string_view message);

} // namespace ionvane::window

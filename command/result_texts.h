// The wording of every result line and of the result title. Units follow their number directly,
// in lower case ("mhz", "km)", "deg)"). Each routine writes its text into `out`, reusing the room
// the text it replaces had.
#pragma once

#include "calc/number_text.h"
#include "propagation/es_layer.h"

#include <string>
#include <string_view>

namespace ionvane::command {

/// "es from IO90IR to JN77EX on 50.1mhz"
void SpottedPathText(std::string &out, std::string_view fromLoc, std::string_view toLoc,
                     float freqMHz, const calc::NumberFormat &format);

/// "(Azimuth = 99.52)   (Elevation = 7.88deg)   (Distance = 1,172.77km)"
void GeometryText(std::string &out, std::string_view bearingText, std::string_view elevationText,
                  std::string_view distanceText);

/// "Centre of path = JN39JO  Critical Freq = 11.40  MUF = 62.96mhz"
void CentreText(std::string &out, std::string_view centreLoc, double criticalFreqMHz,
                double pathMufMHz, const calc::NumberFormat &format);

/// "From IO90IR try towards JN77EX"
void TryTowardsText(std::string &out, std::string_view homeLoc, std::string_view towardsLoc);

/// "MUF = 62.96mhz,  try towards JN77EX"
void ResultTitle(std::string &out, double pathMufMHz, std::string_view towardsLoc,
                 const calc::NumberFormat &format);

/// The traffic line: the advice, quoting the spotted path's MUF for a tropo or chordal path and
/// the frequency of traffic for a path above the horizon.
void TrafficText(std::string &out, propagation::HorizonAdvice advice, double pathMufMHz,
                 float trafficFreqMHz, const calc::NumberFormat &format);

/// "ERROR!! " and the message.
void ErrorText(std::string &out, std::string_view message);

} // namespace ionvane::command

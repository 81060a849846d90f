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

/// The spotted path's MUF as every result line quotes it: "62.96". Made once a run, for the centre
/// line, the title and the tropo advice alike.
void MufText(std::string &out, double pathMufMHz, const calc::NumberFormat &format);

/// "Centre of path = JN39JO  Critical Freq = 11.40  MUF = 62.96mhz"
void CentreText(std::string &out, std::string_view centreLoc, double criticalFreqMHz,
                std::string_view pathMufText, const calc::NumberFormat &format);

/// "From IO90IR try towards JN77EX"
void TryTowardsText(std::string &out, std::string_view homeLoc, std::string_view towardsLoc);

/// "MUF = 62.96mhz,  try towards JN77EX"
void ResultTitle(std::string &out, std::string_view pathMufText, std::string_view towardsLoc);

/// The traffic line: the advice, quoting the spotted path's MUF for a tropo or chordal path and
/// the frequency of traffic for a path above the horizon.
void TrafficText(std::string &out, propagation::HorizonAdvice advice, std::string_view pathMufText,
                 float trafficFreqMHz, const calc::NumberFormat &format);

/// "ERROR!! " and the message.
void ErrorText(std::string &out, std::string_view message);

} // namespace ionvane::command

// The tracker's events as JSON objects of one line each: "cloud", "verdict" and "alarm".
#pragma once

#include "tracker/tracker_events.h"

#include <string>

namespace ionvane::cli {

/// {"event":"cloud","time":"2026-06-14T10:00:25Z","id":1,"state":"new","centre":"JN39JO",
///  "latDeg":..,"lonDeg":..,"spots":5,"bands":["6m"],"criticalFreqMHz":..,"highestFreqMHz":..,
///  "firstSeen":..,"lastSeen":..,"drift":{"speedKmh":..,"towardsDeg":..} or null}
std::string CloudEventJson(const tracker::CloudEvent &event);

/// {"event":"verdict","time":..,"home":"IO90IR","bands":[{"band":"10m","state":"possible",
///  "cloud":1,"tryTowards":"JN77EX","azimuthDeg":..,"elevationDeg":..,"distanceKm":..,
///  "trafficFreqMHz":..,"via":[{"cloud":1,"tryTowards":..,"azimuthDeg":..,"trafficFreqMHz":..},
///  ...]}, ...]}: the bands followed, each with its headline cloud and every cloud that carries it
///  (state "possible", "marginal" or "closed"); a closed band has null in place of the cloud and
///  its figures and an empty "via".
std::string VerdictEventJson(const tracker::VerdictEvent &event);

/// {"event":"alarm","time":..,"band":"2m","cloud":1,"text":"..."}
std::string AlarmEventJson(const tracker::AlarmEvent &event);

/// Any of the three.
std::string TrackerEventJson(const tracker::TrackerEvent &event);

} // namespace ionvane::cli

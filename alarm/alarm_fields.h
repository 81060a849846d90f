// One alarm as the outlets deliver it: the tracker's alarm with the headline beam of its band,
// as environment variables for a hook and as a JSON object.
#pragma once

#include "tracker/tracker_events.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

#include <optional>

namespace ionvane::alarm {

struct AlarmFields {
    tracker::AlarmEvent Alarm;
    std::optional<double> BeamDeg; ///< the band's headline azimuth from home, if a cloud carries it
    std::string TowardsLoc;        ///< the locator to beam towards, "" when none
};

/// The alarm with the beam of its band in `verdict` (the latest one, which the tracker reports
/// before the alarm it raised).
AlarmFields FieldsOf(const tracker::AlarmEvent &alarm, const tracker::VerdictEvent *verdict);

/// The title a notification shows: "Es alarm: 2m".
QString AlarmTitle(const AlarmFields &fields);

/// {"band":"2m","cloud":3,"time":"2026-06-14T10:05:00Z","heard":2,"beamDeg":123.4,
/// "towards":"JN75","text":"..."}: heard counts the band's own Es spots through the cloud in the
/// last 15 minutes (0 for a band predicted from another); beamDeg and towards are null without a
/// beam.
QByteArray AlarmJson(const AlarmFields &fields);

/// IONVANE_BAND, IONVANE_BEAM (degrees, "" without a beam), IONVANE_TOWARDS, IONVANE_HEARD (the
/// band's own Es spots), IONVANE_TIME (UTC, ISO 8601), IONVANE_TEXT and IONVANE_CLOUD, added to
/// `base`.
QProcessEnvironment AlarmEnvironment(const AlarmFields &fields, QProcessEnvironment base);

} // namespace ionvane::alarm

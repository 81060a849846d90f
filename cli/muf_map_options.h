// The command line's Es MUF map: --muf-map MINUTES prints, after a replay's or a live session's
// events, one line holding the layer as a GeoJSON FeatureCollection, and --every SECONDS one each
// that many seconds of the capture's (or the session's) time as well.
#pragma once

#include "live/live_events.h"
#include "tracker/muf_layer.h"

#include <QCommandLineOption>
#include <QList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCommandLineParser;

namespace ionvane::cli {

struct MufMapSettings {
    tracker::UnixSeconds WindowS = tracker::MufWindowShortS;
    std::optional<tracker::UnixSeconds> EveryS; ///< none: only the one after the events
};

/// --muf-map, --every.
QList<QCommandLineOption> MufMapOptions();

/// Reads them into `settings`; `settings` is null without a replay or a live session to go with.
/// Returns a usage message when one is wrong or out of place, else "".
std::string ReadMufMapOptions(const QCommandLineParser &parser,
                              std::optional<MufMapSettings> *settings);

/// {"type":"FeatureCollection","time":T,"windowMinutes":15,"features":[{"type":"Feature",
/// "geometry":{"type":"Polygon","coordinates":[[[2,52],[4,52],[4,53],[2,53],[2,52]]]},
/// "properties":{"square":"JO12","mufMHz":144.3,"spots":2}}]}: each square's ring
/// anticlockwise from its south-west corner, longitude first, as GeoJSON has it.
std::string MufMapJson(tracker::UnixSeconds time, tracker::UnixSeconds windowS,
                       const std::vector<tracker::MufSquare> &squares);

/// The layer of a session fed from its core's events, written as lines through `write`.
class MufMapLines {
  public:
    MufMapLines(MufMapSettings settings, std::function<void(const std::string &)> write);

    /// Every event of the core: the spots go into the layer, and a line is written for each
    /// --every time the clock has passed.
    void Take(const live::LiveEvent &event);
    /// The line after the events, at the session's last time.
    void Finish();

  private:
    /// Writes the lines due up to `now`, each at its own time; `inclusive`: one due at `now` too.
    void WriteDue(tracker::UnixSeconds now, bool inclusive);
    void WriteAt(tracker::UnixSeconds time);

    MufMapSettings Settings;
    std::function<void(const std::string &)> Write;
    tracker::MufLayer Layer;
    std::optional<tracker::UnixSeconds> NextDue;
};

} // namespace ionvane::cli

// The Es tracker of a live session: every line received from the cluster and every report of the
// feed through its reader, the calculation, the classifier and the cloud tracker on the receipt
// clock, its spot, cloud, verdict and alarm events written as they happen, and each line or report
// recorded in the history store.
#pragma once

#include "events.h"
#include "feed/feed_event.h"
#include "history/history_store.h"
#include "history/source_lines.h"
#include "tracker/spot_pipeline.h"
#include "wsjtx/wsjtx_event.h"

#include <QDateTime>

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace ionvane::cli {

class LiveTracker {
  public:
    /// `store` may be null (no history); it must outlive the tracker. Problems of the store go to
    /// `err`, once each; the session goes on without it.
    LiveTracker(calc::NumberFormat format, tracker::HomeSettings home,
                tracker::TrackerSettings settings, bool anyMode, EventWriter &writer,
                history::HistoryStore *store, std::ostream &err);

    /// Whether WSJT-X's recordings count in the lines restored from the store.
    void SetWsjtxRecordings(bool recordings) { Restored.SetWsjtxRecordings(recordings); }

    /// Replays the store's last hour into the tracker and writes the clouds it leaves, and then
    /// the verdict, at once (nothing when no cloud is left). Returns the clouds written.
    std::size_t Restore(tracker::UnixSeconds now);

    /// A line received at `timeUtc`: the ageing that time brings, the line's spot or skipped event
    /// (as the session without a tracker writes it, with the tracker's classification, band and
    /// cloud before "result"), and what the spot changed.
    void Line(const QDateTime &timeUtc, const std::string &line);

    /// A report of the feed (a Spot or Skipped event of the feed source): the ageing its receipt
    /// time brings, its spot or skipped event (as for a line, with the capture body as "raw" and
    /// the receipt time), and what the spot changed.
    void Report(const feed::FeedEvent &event);

    /// A datagram of WSJT-X (a Spot, Skipped or News event of the WSJT-X source): as a report,
    /// with the capture body as "raw"; news (heartbeats, status) give no event but are recorded,
    /// so that a restore knows the dial again.
    void Datagram(const wsjtx::WsjtxEvent &event);

    /// The clock moved on without a line.
    void Tick(tracker::UnixSeconds now);

  private:
    /// A report or datagram received at `received`, read by `read` once the clock was moved.
    void Received(tracker::UnixSeconds received, const std::string &raw,
                  const std::function<tracker::LineResult()> &read);
    void WriteEvents();
    void Record(tracker::UnixSeconds time, const std::string &line,
                const tracker::LineResult &result);

    tracker::SpotPipeline Pipeline;
    history::SourceLines Restored; ///< reads the store's lines of both sources back
    EventWriter &Writer;
    history::HistoryStore *Store;
    std::ostream &Err;
    std::vector<tracker::TrackerEvent> Events;
    bool StoreFailed = false;
};

/// The spot event of the live session: {"event":"spot","time":..,"raw":..,"spot":{..},
/// "classification":"es","band":"6m" or null,"cloud":1 or null,"result":{..}}, where `result` is
/// the object of --spot --json for the same line, made from the tracker's own run.
JsonObject LiveSpotEventJson(const QDateTime &timeUtc, std::string_view raw,
                             const tracker::LineResult &result);

} // namespace ionvane::cli

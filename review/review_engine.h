// The evening in review: the history store's last hours replayed through a fresh tracker, as the
// live session ran them, to show the map, clouds, band rows and spots of any moment. Snapshots of
// the tracker every CheckpointLines lines keep a move of the slider to a short replay.
#pragma once

#include "review_control.h"
#include "stored_lines.h"

#include <deque>

namespace ionvane::review {

/// Lines between two snapshots of the tracker: a position is at most this many lines from one
/// (some 40 ms of replay on a small machine), and six hours of a busy node's 14 lines a second
/// make some 150 snapshots.
constexpr std::size_t DefaultCheckpointLines = 2000;

class ReviewEngine : public ReviewControl {
  public:
    /// Reviews the store at `storePath`, which it only ever reads; `checkpointLines` above zero.
    ReviewEngine(ReviewSetup setup, QString storePath,
                 std::size_t checkpointLines = DefaultCheckpointLines);

    ReviewSpan Load(UnixSeconds now, int hours, std::stop_token stop) override;
    /// A read that is never asked to stop.
    ReviewSpan Load(UnixSeconds now, int hours) { return Load(now, hours, {}); }
    ReviewMoment At(UnixSeconds time) override;

    /// The snapshots kept, for the benchmark's figures.
    [[nodiscard]] std::size_t CheckpointCount() const { return Checkpoints.size(); }

  private:
    /// The tracker after the first Next lines, with the spots they brought, the newest last.
    struct Replay {
        tracker::SpotPipeline Pipeline;
        live::SourceLines Sources;
        std::deque<live::SpotTaken> Spots;
        std::size_t Next = 0;
    };

    [[nodiscard]] Replay Fresh() const;
    /// Feeds the lines from `replay.Next` up to `end`; the tracker's events are dropped.
    void Advance(Replay &replay, std::size_t end) const;
    void Reset();

    ReviewSetup Setup;
    QString Path;
    std::size_t CheckpointLines;
    std::vector<ReviewLine> Lines;
    /// Checkpoints[k] after k * CheckpointLines lines.
    std::vector<Replay> Checkpoints;
    /// After every line read, to go on from when more are read.
    Replay Tail;
    ReviewSpan Span;
    /// The earliest time read, seconds since 1970 (UTC); a longer look back reads all again.
    UnixSeconds ReadSince = 0;
    std::int64_t LastId = 0;
};

} // namespace ionvane::review

#include "review_engine.h"

#include "history/history_store.h"

#include <algorithm>

namespace ionvane::review {

namespace {

constexpr std::int64_t SecondsPerHour = 3600;

} // namespace

ReviewEngine::ReviewEngine(ReviewSetup setup, QString storePath, std::size_t checkpointLines)
    : Setup(std::move(setup)), Path(std::move(storePath)),
      CheckpointLines(std::max<std::size_t>(1, checkpointLines)), Tail(Fresh()) {}

ReviewEngine::Replay ReviewEngine::Fresh() const {
    Replay replay{tracker::SpotPipeline(tracker::SpotCalculator(Setup.Format, Setup.Home),
                                        Setup.Tracker, Setup.AnyMode),
                  live::SourceLines(wsjtx::ReaderSettings{Setup.Home.HomeLocator, false}),
                  {},
                  0};
    // The grid memory starts empty: the calls of the hours read teach it as they taught the live
    // session.
    replay.Pipeline.UsePlaces(Setup.Countries.get(), true);
    return replay;
}

void ReviewEngine::Reset() {
    Lines.clear();
    Checkpoints.clear();
    Tail = Fresh();
    Span = {};
    LastId = 0;
}

void ReviewEngine::Advance(Replay &replay, std::size_t end) const {
    std::vector<tracker::TrackerEvent> events;
    for (; replay.Next < end; ++replay.Next) {
        const ReviewLine &line = Lines[replay.Next];
        const live::SourceLine read =
            replay.Sources.Feed(replay.Pipeline, line.Time, line.Line, events);
        // The past raises nothing: its alarms were raised, or not, when it was the present.
        events.clear();
        if (read.Result.What != tracker::LineResult::Kind::Ignored) {
            replay.Spots.push_back({read.From, line.Time, read.Time, line.Line, read.Result, true});
            if (replay.Spots.size() > MaxMomentSpots) {
                replay.Spots.pop_front();
            }
        }
    }
}

ReviewSpan ReviewEngine::Load(UnixSeconds now, int hours, std::stop_token stop) {
    const UnixSeconds since = now - std::clamp(hours, 1, MaxReviewHours) * SecondsPerHour;
    // The hour before the first moment shown is read too: the tracker then holds at that moment
    // the clouds it would have held live.
    const UnixSeconds readFrom = since - history::RestoreWindowS;
    if (Lines.empty() || readFrom < ReadSince) {
        Reset();
        ReadSince = readFrom;
    }
    StoredLines read = ReadStoredLines(Path, LastId, ReadSince, now, stop);
    Span.CorruptRows += read.CorruptRows;
    Span.Problem = read.Problem;
    for (ReviewLine &line : read.Lines) {
        LastId = std::max(LastId, line.Id);
        Lines.push_back(std::move(line));
    }
    // Stopped between two snapshots: one stretch of replay is some 40 ms.
    while (Tail.Next < Lines.size() && !stop.stop_requested()) {
        if (Tail.Next % CheckpointLines == 0) {
            Checkpoints.push_back(Tail);
        }
        Advance(Tail, std::min(Lines.size(), (Tail.Next / CheckpointLines + 1) * CheckpointLines));
    }
    Span.Lines = Lines.size();
    Span.From = std::max(since, Lines.empty() ? now : Lines.front().Time);
    Span.To = std::max(now, Span.From);
    return Span;
}

ReviewMoment ReviewEngine::At(UnixSeconds time) {
    ReviewMoment moment;
    moment.Time = std::clamp(time, Span.From, Span.To);
    // Lines are kept in the order they were recorded, which is the order of their receipt times.
    const std::size_t end = static_cast<std::size_t>(
        std::upper_bound(Lines.begin(), Lines.end(), moment.Time,
                         [](UnixSeconds at, const ReviewLine &line) { return at < line.Time; }) -
        Lines.begin());
    Replay replay = Checkpoints.empty()
                        ? Fresh()
                        : Checkpoints[std::min(end / CheckpointLines, Checkpoints.size() - 1)];
    Advance(replay, end);
    std::vector<tracker::TrackerEvent> events;
    replay.Pipeline.Tick(moment.Time, events);
    moment.Clouds = replay.Pipeline.Clouds().CurrentClouds();
    moment.Verdict = replay.Pipeline.CurrentVerdict();
    moment.Spots.assign(replay.Spots.begin(), replay.Spots.end());
    return moment;
}

} // namespace ionvane::review

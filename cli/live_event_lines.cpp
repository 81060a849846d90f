#include "live_event_lines.h"

#include "events.h"
#include "feed_json.h"
#include "spot_events.h"
#include "tracker_json.h"
#include "wsjtx_json.h"

namespace ionvane::cli {

namespace {

struct Lines {
    SpotInResult SpotIn;
    const std::function<void(const std::string &)> &Write;

    void operator()(const live::SpotTaken &taken) const {
        if (taken.Restored) {
            return;
        }
        if (taken.Result.What == tracker::LineResult::Kind::Spot) {
            Write(SpotEventJson(taken.Time, taken.Raw, taken.Result,
                                SpotIn == SpotInResult::Repeated));
        } else if (taken.Result.What == tracker::LineResult::Kind::Skipped) {
            Write(SkippedEventJson(taken.Time, taken.Raw, taken.Result.Reason));
        }
    }
    void operator()(const live::TrackerChange &change) const {
        if (!change.Restored) {
            Write(TrackerEventJson(change.Event));
        }
    }
    void operator()(const live::RestoreDone &done) const {
        for (const auto &cloud : done.Clouds) {
            Write(CloudEventJson(cloud));
        }
        if (!done.Clouds.empty()) {
            Write(VerdictEventJson(done.Verdict));
        }
    }
    void operator()(const live::SourceState &state) const { std::visit(*this, state.News); }
    void operator()(const live::ClusterConnection &change) const {
        Write(ConnectionEventJson(change.TimeUtc, change.Event).Text());
    }
    void operator()(const live::FeedConnection &change) const {
        Write(FeedConnectionEventJson(change.Event).Text());
    }
    void operator()(const live::WsjtxListening &change) const {
        Write(WsjtxListeningEventJson(change.Event).Text());
    }
    void operator()(const live::StoreProblem &) const {}
    void operator()(const live::LogProblem &) const {}
    void operator()(const live::Settled &) const {}
};

} // namespace

void LiveEventLines(const live::LiveEvent &event, SpotInResult spotInResult,
                    const std::function<void(const std::string &)> &write) {
    std::visit(Lines{spotInResult, write}, event);
}

} // namespace ionvane::cli

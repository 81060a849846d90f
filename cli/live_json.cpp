#include "live_json.h"

#include "json.h"
#include "report_json.h"
#include "tracker_json.h"

#include <algorithm>
#include <array>

namespace ionvane::cli {

namespace {

// Whole seconds, rounded up: the try never comes before the time announced.
long long RetryInSeconds(std::chrono::milliseconds retryIn) {
    constexpr long long MsPerSecond = 1000;
    return (retryIn.count() + MsPerSecond - 1) / MsPerSecond;
}

std::string_view StateName(cluster::ConnectionEvent::Kind kind) {
    using Kind = cluster::ConnectionEvent::Kind;
    switch (kind) {
    case Kind::Connecting:
        return "connecting";
    case Kind::LoggedIn:
        return "logged-in";
    case Kind::Lost:
        return "lost";
    case Kind::Waiting:
        return "waiting";
    case Kind::Refused:
        return "refused";
    }
    return "";
}

// The feed's connection events: T is the receipt time, the states those of feed::ConnectionName.
std::string FeedConnectionEventJson(const feed::FeedEvent &event) {
    std::string out = EventStart("connection", event.ReceivedAt.time_since_epoch().count());
    StringMember(out, "source", "mqtt");
    StringMember(out, "state", feed::ConnectionName(event.Connection));
    StringMember(out, "detail", event.Detail);
    if (event.Connection == feed::FeedConnection::Waiting) {
        IntegerMember(out, "retryInSeconds", RetryInSeconds(event.RetryIn));
    }
    out += '}';
    return out;
}

// WSJT-X's listening events ("detail":"127.0.0.1:2237"): T is the receipt time, the states those
// of wsjtx::ListeningName.
std::string WsjtxListeningEventJson(const wsjtx::WsjtxEvent &event) {
    std::string out = EventStart("connection", event.ReceivedAt.time_since_epoch().count());
    StringMember(out, "source", "wsjtx");
    StringMember(out, "state", wsjtx::ListeningName(event.State));
    StringMember(out, "detail", event.Detail);
    out += '}';
    return out;
}

// "placed":{"from":"locator","to":"prefix EA8 (Canary Islands) +-250 km","fromBy":"locator",
// "toBy":"prefix","uncertaintyKm":250}: how a spot given without both locators was placed, the
// uncertainty its larger one.
void AppendPlacedMember(std::string &out, const tracker::SpotPlacing &placed) {
    Key(out, "placed");
    out += '{';
    StringMember(out, "from", placed.From.Text);
    StringMember(out, "to", placed.To.Text);
    StringMember(out, "fromBy", places::PlacedByName(placed.From.By));
    StringMember(out, "toBy", places::PlacedByName(placed.To.By));
    DoubleMember(out, "uncertaintyKm",
                 std::max(placed.From.UncertaintyKm, placed.To.UncertaintyKm));
    out += '}';
}

// "#c62828", as Qt and the web write a colour.
std::string ColourText(const wsjtx::Rgb &rgb) {
    constexpr std::array<char, 16> Hex{'0', '1', '2', '3', '4', '5', '6', '7',
                                       '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string text = "#";
    for (const std::uint8_t channel : {rgb.Red, rgb.Green, rgb.Blue}) {
        text += Hex[channel >> 4U];
        text += Hex[channel & 0xFU];
    }
    return text;
}

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
        Write(ConnectionEventJson(change.TimeUtc.toSecsSinceEpoch(), change.Event));
    }
    void operator()(const live::FeedConnection &change) const {
        Write(FeedConnectionEventJson(change.Event));
    }
    void operator()(const live::WsjtxListening &change) const {
        Write(WsjtxListeningEventJson(change.Event));
    }
    void operator()(const live::StoreProblem &) const {}
    void operator()(const live::LogProblem &) const {}
    void operator()(const live::Settled &) const {}
};

} // namespace

std::string SpotEventJson(tracker::UnixSeconds time, std::string_view raw,
                          const tracker::LineResult &result, bool spotInResult) {
    std::string out = EventStart("spot", time);
    StringMember(out, "raw", raw);
    AppendSpotMembers(out, result.Read);
    StringMember(out, "classification", tracker::EsClassName(result.Class));
    if (result.SpotBand) {
        StringMember(out, "band", spot::BandName(*result.SpotBand));
    } else {
        RawMember(out, "band", "null");
    }
    if (result.CloudId) {
        IntegerMember(out, "cloud", *result.CloudId);
    } else {
        RawMember(out, "cloud", "null");
    }
    if (result.Placed) {
        AppendPlacedMember(out, *result.Placed);
    }
    // Why a spot places no cloud for a reason of its own ("2 m, not confirmed: looks like tropo").
    if (!result.Reason.empty()) {
        StringMember(out, "reason", result.Reason);
    }
    // The result last, as the live session writes it: a script can cut it off the line as is.
    Key(out, "result");
    out += '{';
    AppendReportMembers(out, result.Run.Outcome, result.Run.Screen);
    if (spotInResult) {
        AppendSpotMembers(out, result.Read);
    }
    out += "}}";
    return out;
}

std::string SkippedEventJson(tracker::UnixSeconds time, std::string_view raw,
                             std::string_view reason) {
    std::string out = EventStart("skipped", time);
    StringMember(out, "raw", raw);
    StringMember(out, "reason", reason);
    out += '}';
    return out;
}

std::string ConnectionEventJson(tracker::UnixSeconds time, const cluster::ConnectionEvent &event) {
    std::string out = EventStart("connection", time);
    StringMember(out, "state", StateName(event.What));
    StringMember(out, "detail", event.Detail);
    if (event.What == cluster::ConnectionEvent::Kind::Waiting) {
        IntegerMember(out, "retryInSeconds", RetryInSeconds(event.RetryIn));
    }
    out += '}';
    return out;
}

std::string HighlightEventJson(tracker::UnixSeconds time, const alarm::HighlightRequest &request) {
    std::string out = EventStart("highlight", time);
    StringMember(out, "id", request.Id);
    StringMember(out, "call", request.What.Call);
    if (request.What.Background && request.What.Foreground) {
        StringMember(out, "background", ColourText(*request.What.Background));
        StringMember(out, "foreground", ColourText(*request.What.Foreground));
    } else {
        BoolMember(out, "clear", true);
    }
    out += '}';
    return out;
}

void LiveEventLines(const live::LiveEvent &event, SpotInResult spotInResult,
                    const std::function<void(const std::string &)> &write) {
    std::visit(Lines{spotInResult, write}, event);
}

} // namespace ionvane::cli

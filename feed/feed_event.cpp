#include "feed_event.h"

namespace ionvane::feed {

std::string_view ConnectionName(FeedConnection connection) {
    switch (connection) {
    case FeedConnection::Connecting:
        return "connecting";
    case FeedConnection::Subscribing:
        return "subscribing";
    case FeedConnection::Subscribed:
        return "subscribed";
    case FeedConnection::Lost:
        return "lost";
    case FeedConnection::Waiting:
        return "waiting";
    case FeedConnection::Refused:
        return "refused";
    case FeedConnection::Stopped:
        return "stopped";
    }
    return "";
}

FeedEvent ReportEvent(ReportReader &reader, Seconds receivedAt, std::string_view topic,
                      std::string_view payload, std::span<const spot::Band> bands) {
    FeedEvent event;
    event.ReceivedAt = receivedAt;
    event.Raw = CaptureBody(topic, payload);
    if (OnBandTopic(topic, bands)) {
        event.Reading = reader.Read(PayloadText(payload), receivedAt);
    } else {
        event.Reading.Time = receivedAt;
        event.Reading.Problem = ReportProblem::OffTopic;
    }
    event.What = event.Reading.Problem == ReportProblem::None ? FeedEvent::Kind::Spot
                                                              : FeedEvent::Kind::Skipped;
    event.Time = event.What == FeedEvent::Kind::Spot ? event.Reading.Time : receivedAt;
    return event;
}

std::optional<FeedEvent> ReplayEvent(ReportReader &reader, std::string_view line) {
    const auto captured = ReadCaptureLine(line);
    if (!captured) {
        return std::nullopt;
    }
    return ReportEvent(reader, captured->ReceivedAt, captured->Topic, captured->Payload);
}

std::optional<FeedEvent> StoredEvent(ReportReader &reader, Seconds receivedAt,
                                     std::string_view body) {
    const auto captured = ReadCaptureBody(receivedAt, body);
    if (!captured) {
        return std::nullopt;
    }
    return ReportEvent(reader, captured->ReceivedAt, captured->Topic, captured->Payload);
}

} // namespace ionvane::feed

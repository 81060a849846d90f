#include "wsjtx_event.h"

#include "spot/utc_time.h"

namespace ionvane::wsjtx {

std::string_view ListeningName(Listening state) {
    switch (state) {
    case Listening::Listening:
        return "listening";
    case Listening::Failed:
        return "failed";
    case Listening::Stopped:
        return "stopped";
    }
    return "";
}

std::string WsjtxEvent::Reason() const {
    std::string reason(DecodeProblemText(Reading.Problem, Reading.Unread));
    if (Reading.Unrecorded > 0) {
        reason += " (and " + std::to_string(Reading.Unrecorded) + " more unreadable not recorded)";
    }
    return reason;
}

WsjtxEvent DatagramEvent(DecodeReader &reader, Seconds receivedAt, const Datagram &datagram) {
    WsjtxEvent event;
    event.ReceivedAt = receivedAt;
    event.Read = datagram;
    event.Raw = CaptureBody(datagram);
    event.Reading = reader.Read(datagram, receivedAt);
    if (event.Reading.Unrecorded > 0) {
        // The capture line keeps the number of those not recorded; a reader of the line ignores
        // the field.
        event.Raw += " unrecorded=" + std::to_string(event.Reading.Unrecorded);
    }
    switch (event.Reading.Problem) {
    case DecodeProblem::None:
        event.What = WsjtxEvent::Kind::Spot;
        break;
    case DecodeProblem::NotADecode:
        event.What = WsjtxEvent::Kind::News;
        break;
    default:
        event.What = WsjtxEvent::Kind::Skipped;
        break;
    }
    return event;
}

std::optional<WsjtxEvent> ReplayEvent(DecodeReader &reader, std::string_view line) {
    const auto captured = ReadCaptureLine(line);
    if (!captured) {
        return std::nullopt;
    }
    return DatagramEvent(reader, captured->ReceivedAt, captured->Read);
}

std::optional<WsjtxEvent> StoredEvent(DecodeReader &reader, Seconds receivedAt,
                                      std::string_view body) {
    const auto datagram = ReadCaptureBody(body);
    if (!datagram) {
        return std::nullopt;
    }
    return DatagramEvent(reader, receivedAt, *datagram);
}

} // namespace ionvane::wsjtx
